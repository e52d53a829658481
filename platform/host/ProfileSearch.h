// Where the device profiles are, and which one the device runs on when the command line names none.
//
// A profile named without a slash ("desktop") is NAME.ini in the first of these folders that has it:
// the user's own ($XDG_CONFIG_HOME, by default ~/.config, then lullwatch/profiles), the source tree's
// profiles/ when the program runs from a build folder of that tree, else the installed profiles
// (share/lullwatch/profiles beside the program's bin folder, so /usr/share/lullwatch/profiles for
// /usr/bin/lullwatch, and the same inside any folder the package was unpacked into). A name with a
// slash, or an existing file ending in ".ini", is a file and is taken as it is.
//
// Nothing here is fixed at build time: the folders follow from where the program's file lies, so an
// installed program refers to no source or build tree.
#pragma once

#include <string>
#include <vector>

namespace platform::host {

struct ProfilePlaces {
    std::string configHome;    // $XDG_CONFIG_HOME, else $HOME/.config
    std::string sourceTree;    // the source tree the program was built in, "" when installed
    std::string installedData; // <prefix>/share/lullwatch
    std::string soundDevices;  // the folder of the sound devices' nodes (/dev/snd)
};

// The places for the running program.
ProfilePlaces CurrentProfilePlaces();

// The folders searched for a profile name, in order.
std::vector<std::string> ProfileFolders(const ProfilePlaces& places);

// The file that `name` stands for; false with `error` (naming every folder looked in) when none has it.
bool FindProfile(const std::string& name, const ProfilePlaces& places, std::string* file, std::string* error);

// The profile to run on when none is named, and why, for the user: "demo" from a source tree (the
// recording needs no hardware); installed, "desktop" where a sound capture device exists, else "demo".
std::string DefaultProfileName(const ProfilePlaces& places, std::string* reason);

// True when `folder` holds an ALSA capture device node (pcmC<card>D<device>c).
bool HasSoundCapture(const std::string& folder);

// The source folder of the build folder that holds `programFolder` (found through the CMakeCache.txt
// of the build), or "" when the program does not lie in a build folder.
std::string SourceTreeOf(const std::string& programFolder);

} // namespace platform::host
