#pragma once
// Pure decisions of the host launcher: which window titles belong to the
// host, and how install folder paths fit the fixed 260-character buffers.

#include "core/state.h"

#include <cstddef>
#include <cwchar>

// A host window's title begins with this, exactly, in this letter case.
constexpr wchar_t kHostTitlePrefix[] = L"Vendrake Corvanite Plus!";
constexpr std::size_t kHostTitlePrefixChars = sizeof(kHostTitlePrefix) / sizeof(wchar_t) - 1;
static_assert(kHostTitlePrefixChars == 24, "the prefix is compared on 24 characters");

constexpr wchar_t kHostProgramSuffix[] = L"\\Corvanite.exe";
constexpr std::size_t kHostProgramSuffixChars = sizeof(kHostProgramSuffix) / sizeof(wchar_t) - 1;

// Whatever follows the prefix does not matter; a shorter title never matches.
inline bool IsHostWindowTitle(const wchar_t* title) {
    return std::wcsncmp(title, kHostTitlePrefix, kHostTitlePrefixChars) == 0;
}

// Copies the first `chars` characters of `source` (stopping early at a
// terminator) into `dest` when they fit with the terminator; otherwise
// leaves `dest` untouched and returns false. A folder cut short would name
// some other folder, so a path that does not fit is refused, never cut.
inline bool CopyPathIfFits(wchar_t (&dest)[kPathChars], const wchar_t* source, std::size_t chars) {
    std::size_t length = 0;
    while (length < chars && source[length] != L'\0') ++length;
    if (length >= static_cast<std::size_t>(kPathChars)) return false;
    for (std::size_t i = 0; i < length; ++i) dest[i] = source[i];
    dest[length] = L'\0';
    return true;
}

// The host's program file: the install folder as stored, then
// "\Corvanite.exe" (a folder ending in a backslash gets a second one, which
// the file system ignores). False, and `program` untouched, when the whole
// path does not fit: the caller treats that as a failed launch.
inline bool ComposeHostProgramPath(const wchar_t* installPath, wchar_t (&program)[kPathChars]) {
    const std::size_t folderChars = std::wcslen(installPath);
    if (folderChars + kHostProgramSuffixChars >= static_cast<std::size_t>(kPathChars)) return false;
    std::wmemcpy(program, installPath, folderChars);
    std::wmemcpy(program + folderChars, kHostProgramSuffix, kHostProgramSuffixChars + 1);
    return true;
}

// A process started by an idle one is idle too, and the host is an ordinary
// application: it is launched from the normal class, never a lower one.
inline DWORD LaunchPriorityClass(DWORD ownClass) {
    return ownClass == IDLE_PRIORITY_CLASS || ownClass == BELOW_NORMAL_PRIORITY_CLASS
               ? NORMAL_PRIORITY_CLASS
               : ownClass;
}
