'''A ModemManager stand-in for the modem line service's tests (a python3-dbusmock template).

Modems at /org/freedesktop/ModemManager1/Modem/<n> with the Modem and Voice interfaces, each with a SIM
at /org/freedesktop/ModemManager1/SIM/<n> whose EmergencyNumbers are 15 and 17; calls at
/org/freedesktop/ModemManager1/Call/<n> follow the modem's script once started. The numbers are
ModemManager's own (ModemManager-enums.h).

Parameters: {"modems": "<id>[,<id>...]"} adds registered modems with those equipment identifiers at
start (default "860000000000001"; "" for none).

A script is a list of steps, each "<ms>:<what>", the time counted from Call.Start:
  <ms>:<call state>[/<reason>]   dialing ringing-out active held terminated; reasons as below
  <ms>:modem/<modem state>       the modem changes state (locked disabled enabled searching registered)
  <ms>:remove                    the modem goes away (InterfacesRemoved), and with it the call
and two words instead of steps: "create-error <D-Bus error name>" (Voice.CreateCall fails) and
"start-error <D-Bus error name>" (Call.Start fails). Call.Hangup ends the call (terminated/terminated)
and drops the steps still to come.

Controls, on the main object's org.lullwatch.ModemScript interface:
  AddModem(s id, a{sv} properties) -> o   a modem appearing late (properties: State, Manufacturer,
                                           Model, OwnNumbers, EmergencyOnly, Voice = false for none)
  RemoveModem(o modem)                     InterfacesRemoved for the modem
  SetModemState(o modem, i state)          Modem.StateChanged and PropertiesChanged
  SetVoice(o modem, b present)             the Voice interface appears or goes
  SetEmergencyOnly(o modem, b only)        Voice.EmergencyOnly
  SetScript(o modem, s script)             the script of the modem's next calls
  SetCallState(o call, i state, u reason)  a call changes state now
'''

import dbus
import dbusmock
from dbusmock import mockobject
from gi.repository import GLib

BUS_NAME = 'org.freedesktop.ModemManager1'
MAIN_OBJ = '/org/freedesktop/ModemManager1'
MAIN_IFACE = 'org.freedesktop.ModemManager1'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

OBJECT_MANAGER_IFACE = 'org.freedesktop.DBus.ObjectManager'
MODEM_IFACE = 'org.freedesktop.ModemManager1.Modem'
VOICE_IFACE = 'org.freedesktop.ModemManager1.Modem.Voice'
CALL_IFACE = 'org.freedesktop.ModemManager1.Call'
SIM_IFACE = 'org.freedesktop.ModemManager1.Sim'
CONTROL_IFACE = 'org.lullwatch.ModemScript'

CALL_STATES = {'unknown': 0, 'dialing': 1, 'ringing-out': 2, 'ringing-in': 3, 'active': 4, 'held': 5,
               'waiting': 6, 'terminated': 7}
REASONS = {'unknown': 0, 'outgoing-started': 1, 'incoming-new': 2, 'accepted': 3, 'terminated': 4,
           'refused-or-busy': 5, 'error': 6, 'audio-setup-failed': 7, 'transferred': 8, 'deflected': 9}
MODEM_STATES = {'failed': -1, 'unknown': 0, 'initializing': 1, 'locked': 2, 'disabled': 3, 'disabling': 4,
                'enabling': 5, 'enabled': 6, 'searching': 7, 'registered': 8, 'connected': 11}
DEFAULT_SCRIPT = '100:ringing-out 300:active'


def load(mock, parameters):
    mock.lw_modems = 0
    mock.lw_calls = 0
    ids = str(parameters.get('modems', '860000000000001'))
    for ident in [i for i in ids.split(',') if i]:
        add_modem(mock, ident, {}, announce=False)


def emit_added(mock, path, interfaces):
    props = mockobject.objects[path].props
    mock.EmitSignal(OBJECT_MANAGER_IFACE, 'InterfacesAdded', 'oa{sa{sv}}',
                    [dbus.ObjectPath(path),
                     dbus.Dictionary({i: props[i] for i in interfaces}, signature='sa{sv}')])


def emit_removed(mock, path, interfaces):
    mock.EmitSignal(OBJECT_MANAGER_IFACE, 'InterfacesRemoved', 'oas',
                    [dbus.ObjectPath(path), dbus.Array(interfaces, signature='s')])


def add_voice(mock, modem, emergency_only=False):
    modem.AddProperties(VOICE_IFACE, {
        'Calls': dbus.Array([], signature='o'),
        'EmergencyOnly': dbus.Boolean(emergency_only),
    })
    modem.AddMethod(VOICE_IFACE, 'CreateCall', 'a{sv}', 'o', lambda self, props: create_call(mock, self, props))
    modem.AddMethod(VOICE_IFACE, 'DeleteCall', 'o', '', lambda self, path: delete_call(mock, self, path))
    modem.AddMethod(VOICE_IFACE, 'ListCalls', '', 'ao', lambda self: self.props[VOICE_IFACE]['Calls'])


def add_modem(mock, ident, properties, announce=True):
    path = f'{MAIN_OBJ}/Modem/{mock.lw_modems}'
    mock.lw_modems += 1
    sim_path = f'{MAIN_OBJ}/SIM/{mock.lw_modems - 1}'
    mock.AddObject(sim_path, SIM_IFACE, {
        'EmergencyNumbers': dbus.Array(properties.get('EmergencyNumbers', ['15', '17']), signature='s'),
    }, [])
    props = {
        'Sim': dbus.ObjectPath(sim_path),
        'Manufacturer': dbus.String(properties.get('Manufacturer', 'Quectel')),
        'Model': dbus.String(properties.get('Model', 'EG25')),
        'EquipmentIdentifier': dbus.String(ident),
        'OwnNumbers': dbus.Array(properties.get('OwnNumbers', ['+441632960001']), signature='s'),
        'State': dbus.Int32(properties.get('State', MODEM_STATES['registered'])),
    }
    mock.AddObject(path, MODEM_IFACE, props, [])
    modem = mockobject.objects[path]
    modem.lw_script = str(properties.get('Script', DEFAULT_SCRIPT))
    modem.lw_calls = []
    interfaces = [MODEM_IFACE]
    if properties.get('Voice', True):
        add_voice(mock, modem, bool(properties.get('EmergencyOnly', False)))
        interfaces.append(VOICE_IFACE)
    if announce:
        emit_added(mock, path, interfaces)
    return path


def set_call_state(call, state, reason):
    old = call.props[CALL_IFACE]['State']
    if old == CALL_STATES['terminated']:
        return
    call.props[CALL_IFACE]['State'] = dbus.Int32(state)
    call.props[CALL_IFACE]['StateReason'] = dbus.Int32(reason)
    call.EmitSignal(CALL_IFACE, 'StateChanged', 'iiu', [dbus.Int32(old), dbus.Int32(state), dbus.UInt32(reason)])
    call.EmitSignal('org.freedesktop.DBus.Properties', 'PropertiesChanged', 'sa{sv}as',
                    [CALL_IFACE, dbus.Dictionary({'State': dbus.Int32(state)}, signature='sv'),
                     dbus.Array([], signature='s')])
    if state == CALL_STATES['terminated']:
        for source in call.lw_timers:
            GLib.source_remove(source)
        call.lw_timers = []


def set_modem_state(modem, state):
    old = modem.props[MODEM_IFACE]['State']
    modem.props[MODEM_IFACE]['State'] = dbus.Int32(state)
    modem.EmitSignal(MODEM_IFACE, 'StateChanged', 'iiu', [dbus.Int32(old), dbus.Int32(state), dbus.UInt32(0)])
    modem.EmitSignal('org.freedesktop.DBus.Properties', 'PropertiesChanged', 'sa{sv}as',
                     [MODEM_IFACE, dbus.Dictionary({'State': dbus.Int32(state)}, signature='sv'),
                      dbus.Array([], signature='s')])


def remove_modem(mock, path):
    modem = mockobject.objects[path]
    for call_path in list(modem.lw_calls):
        call = mockobject.objects.get(call_path)
        if call is not None:
            set_call_state(call, CALL_STATES['terminated'], REASONS['error'])
            mock.RemoveObject(call_path)
    interfaces = [i for i in (MODEM_IFACE, VOICE_IFACE) if i in modem.props]
    emit_removed(mock, path, interfaces)
    mock.RemoveObject(path)


def script_error(modem, word):
    parts = modem.lw_script.split()
    if len(parts) == 2 and parts[0] == word:
        raise dbus.exceptions.DBusException(f'{word} by the script', name=parts[1])


def run_step(mock, modem, call, step):
    what = step.split(':', 1)[1]
    if what == 'remove':
        remove_modem(mock, modem.path)
    elif what.startswith('modem/'):
        set_modem_state(modem, MODEM_STATES[what.split('/', 1)[1]])
    else:
        name, _, reason = what.partition('/')
        set_call_state(call, CALL_STATES[name], REASONS[reason or 'unknown'])
    return False


def create_call(mock, modem, props):
    script_error(modem, 'create-error')
    path = f'{MAIN_OBJ}/Call/{mock.lw_calls}'
    mock.lw_calls += 1
    mock.AddObject(path, CALL_IFACE, {
        'State': dbus.Int32(CALL_STATES['unknown']),
        'StateReason': dbus.Int32(REASONS['unknown']),
        'Direction': dbus.Int32(2),
        'Number': dbus.String(props.get('number', '')),
    }, [])
    call = mockobject.objects[path]
    call.lw_timers = []
    call.lw_script = modem.lw_script

    def start(self):
        script_error(modem, 'start-error')
        set_call_state(self, CALL_STATES['dialing'], REASONS['outgoing-started'])
        steps = self.lw_script.split()
        if steps and steps[0] in ('create-error', 'start-error'):
            return
        for step in steps:
            ms = int(step.split(':', 1)[0])
            self.lw_timers.append(GLib.timeout_add(ms, run_step, mock, modem, self, step))

    def hangup(self):
        if self.props[CALL_IFACE]['State'] == CALL_STATES['terminated']:
            raise dbus.exceptions.DBusException('call is already terminated',
                                                name='org.freedesktop.ModemManager1.Error.Core.WrongState')
        set_call_state(self, CALL_STATES['terminated'], REASONS['terminated'])

    call.AddMethod(CALL_IFACE, 'Start', '', '', start)
    call.AddMethod(CALL_IFACE, 'Hangup', '', '', hangup)
    modem.lw_calls.append(path)
    modem.props[VOICE_IFACE]['Calls'] = dbus.Array(modem.lw_calls, signature='o')
    modem.EmitSignal(VOICE_IFACE, 'CallAdded', 'o', [dbus.ObjectPath(path)])
    return dbus.ObjectPath(path)


def delete_call(mock, modem, path):
    if path not in modem.lw_calls:
        raise dbus.exceptions.DBusException(f'no call {path}', name='org.freedesktop.ModemManager1.Error.Core.NotFound')
    call = mockobject.objects[path]
    for source in call.lw_timers:
        GLib.source_remove(source)
    call.lw_timers = []
    modem.lw_calls.remove(path)
    modem.props[VOICE_IFACE]['Calls'] = dbus.Array(modem.lw_calls, signature='o')
    mock.RemoveObject(path)
    modem.EmitSignal(VOICE_IFACE, 'CallDeleted', 'o', [dbus.ObjectPath(path)])


@dbus.service.method(CONTROL_IFACE, in_signature='sa{sv}', out_signature='o')
def AddModem(self, ident, properties):
    return dbus.ObjectPath(add_modem(self, ident, properties))


@dbus.service.method(CONTROL_IFACE, in_signature='o', out_signature='')
def RemoveModem(self, path):
    remove_modem(self, path)


@dbus.service.method(CONTROL_IFACE, in_signature='oi', out_signature='')
def SetModemState(self, path, state):
    set_modem_state(mockobject.objects[path], state)


@dbus.service.method(CONTROL_IFACE, in_signature='ob', out_signature='')
def SetVoice(self, path, present):
    modem = mockobject.objects[path]
    if present and VOICE_IFACE not in modem.props:
        add_voice(self, modem)
        emit_added(self, path, [VOICE_IFACE])
    elif not present and VOICE_IFACE in modem.props:
        del modem.props[VOICE_IFACE]
        del modem.methods[VOICE_IFACE]
        emit_removed(self, path, [VOICE_IFACE])


@dbus.service.method(CONTROL_IFACE, in_signature='ob', out_signature='')
def SetEmergencyOnly(self, path, only):
    mockobject.objects[path].UpdateProperties(VOICE_IFACE, {'EmergencyOnly': dbus.Boolean(only)})


@dbus.service.method(CONTROL_IFACE, in_signature='os', out_signature='')
def SetScript(self, path, script):
    mockobject.objects[path].lw_script = script


@dbus.service.method(CONTROL_IFACE, in_signature='oiu', out_signature='')
def SetCallState(self, path, state, reason):
    set_call_state(mockobject.objects[path], state, reason)
