// The framework's file class: a file opened by name, read and written as bytes, closed by the caller.
//
// Errors do not throw. Read returns the bytes it got, Write returns FALSE when not every byte was written,
// and HadError tells whether any read or write on the file has failed since it was opened.
//
// A file opened with modeCreate (and not modeNoTruncate) replaces the file of that name as a whole: the
// bytes go to a temporary file in the same folder, and a successful Close flushes it to the medium and
// renames it over the name. A write that fails (a full medium), a Close that fails, Abort, or a process
// that ends before Close leaves the previous file exactly as it was; a failed Close removes the temporary
// file. Only after Close has returned TRUE do readers see the new content. Like the device, Open refuses to
// replace a file that the user may not write, and never opens a folder as a file.
//
// Sharing flags are accepted; Linux does not enforce them, and the program opens each file once at a time
// from one thread. One CFile object is used by one thread.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <string>

using ULONGLONG = std::uint64_t;

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes the file if it is still open (committing a replacement, as Close does).
    ~CFile();

    // Opens `fileName` with the access, share and create flags above. FALSE when the file cannot be opened
    // (or this object already has a file open).
    BOOL Open(LPCWSTR fileName, UINT openFlags);

    // Reads up to `count` bytes from the current position; returns how many were read (fewer at the end
    // of the file or on an error).
    UINT Read(void* buffer, UINT count);

    // Writes `count` bytes at the current position. After a failed write, later writes write nothing.
    BOOL Write(const void* buffer, UINT count);

    // The file's length in bytes (0 when it cannot be told).
    ULONGLONG GetLength() const;

    // TRUE once a read or write on the open file has failed.
    BOOL HadError() const { return m_failed ? TRUE : FALSE; }

    // Closes the file. For a replacement, TRUE means the new content is in place under the file's name;
    // FALSE means the previous file is untouched. For other files, FALSE reports an earlier failed write
    // or a failed close.
    BOOL Close();

    // Closes the file and drops a replacement that has not been committed.
    void Abort();

    // Deletes the file `fileName`; FALSE when there was none or it could not be deleted.
    static BOOL Remove(LPCWSTR fileName);

    // Deletes the temporary files of replacements in `folder` that were never committed because the
    // process ended while writing them; returns how many. Call it at start, before any file of the folder
    // is written.
    static int RemoveLeftoverTemporaries(LPCWSTR folder);

private:
    BOOL OpenReplacement(const std::string& path);
    BOOL CommitReplacement();
    void Reset();

    int m_fd = -1;
    UINT m_access = modeRead;
    bool m_failed = false;
    std::string m_path;     // the name the caller opened, as a Linux path
    std::string m_tempPath; // non-empty while a replacement is being written
};
