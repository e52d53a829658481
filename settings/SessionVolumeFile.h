// The session's volume file: while a monitoring session runs, the output volume to give back when it ends
// is kept in a small file beside the settings files, so that a run that dies in the middle of a session
// (killed, a power cut) leaves it behind and the next start can give the volume back. The file holds the
// volume word as text ("0x" and eight hexadecimal digits) and is replaced as a whole, so a reader sees
// either the previous content or the new one. The five settings files are never touched here.
//
// Also here: the clean-up at start of the hidden temporary files that an interrupted replacement of one of
// these files leaves in the settings folder.
//
// Everything here runs on the window thread.
#pragma once

#include "platform/win/WinTypes.h"

inline constexpr LPCWSTR kSessionVolumeFile = L"session-volume.txt";

// Writes the volume to give back, creating the settings folder first. FALSE when it could not be stored.
BOOL SaveSessionVolume(DWORD volume);
// TRUE and the stored volume when a volume file is there and holds a volume word.
BOOL LoadSessionVolume(DWORD& volume);
// TRUE when a volume file is there, readable or not.
BOOL SessionVolumeFileExists();
// Removes the volume file; harmless when there is none.
void RemoveSessionVolume();

// Removes the temporary files that an interrupted write left in the settings folder.
void RemoveInterruptedWrites();
