// LoadAlarmStep and SaveAlarmStep: the step is one raw byte, 0x01 to 0x05.
#include "platform/afx/CFile.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"

BYTE LoadAlarmStep() {
    BYTE step = kDefaultAlarmStep;
    std::wstring path;
    CFile file;
    if (GetDataFilePath(kAlarmStepFile, path) &&
        file.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive)) {
        BYTE stored = 0;
        if (file.Read(&stored, 1) == 1) {
            step = stored;
        }
        file.Close();
    }
    return step >= kMinAlarmStep && step <= kMaxAlarmStep ? step : kDefaultAlarmStep;
}

void SaveAlarmStep(BYTE step) {
    std::wstring path;
    CFile file;
    if (GetDataFilePath(kAlarmStepFile, path) &&
        file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        file.Write(&step, 1);
        file.Close();
    }
}
