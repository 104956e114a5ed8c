// The few calls on the system's own files that the shared whole-file reads and atomic writes
// (files.cpp) are made of; each system has them in its own file (files_posix.cpp,
// win32/files_win32.cpp). No system header here: a file is a plain number, and a failure
// comes back as the system's text for it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat::osfile {

using File = intptr_t;         // a descriptor, or a HANDLE
constexpr File kNoFile = -1;   // also INVALID_HANDLE_VALUE

// The characters that separate folders in a path.
extern const char kSeparators[];

// Creates the one folder dir; true also when it is there already (or is no folder of its
// own, as a drive is).
bool MakeFolder(const std::string& dir, std::string& why);
// Whether dir is a folder now.
bool IsFolder(const std::string& dir, std::string& why);

// Creates path, or empties it, for writing.
File CreateForWriting(const std::string& path, std::string& why);
bool WriteAll(File f, const uint8_t* p, size_t n, std::string& why);
// Waits until what was written is on the disk.
bool FlushToDisk(File f, std::string& why);
bool CloseFile(File f, std::string& why);
// The text of a write that failed on the way to the disk.
std::string WriteFaultText();
// Moves temp over path in one step.
bool MoveOver(const std::string& temp, const std::string& path, std::string& why);
void RemoveFile(const std::string& path);
// Makes a finished MoveOver onto path durable, where the system does not do so itself.
void MakeReplaceDurable(const std::string& path);
// What else a finished replace needs, called with its path at the end of MakeReplaceDurable:
// the browser keeps its written files in the page's storage. Null for nothing more. Only the
// POSIX calls (files_posix.cpp) have it.
using ReplacedHook = void (*)(const std::string& path);
void SetReplacedHook(ReplacedHook hook);

// Opens path for reading; kNoFile with missing set when there is no such file, else with why.
// A pipe or device in the file's place does not block here.
File OpenForReading(const std::string& path, bool& missing, std::string& why);
// Whether f is a regular file (no pipe, device or folder), and then its size now.
bool RegularFileSize(File f, uint64_t& size);
// Reads up to n bytes; got is 0 at the end of the file.
bool ReadSome(File f, uint8_t* p, size_t n, size_t& got, std::string& why);

}  // namespace plat::osfile
