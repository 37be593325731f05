#include "platform/results_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/windows/handles.h"
#include "platform/windows/system_error.h"

namespace platform {

namespace {

using windows::handle_of;

// The same volume and the same file number on it. Under Wine a handle inherited from a
// POSIX process has no known volume (0), and the file number alone decides there.
bool same_file(HANDLE file, int fd) {
  const HANDLE other = handle_of(fd);
  FILE_ID_INFO a, b;
  if (GetFileType(other) != FILE_TYPE_DISK ||
      !GetFileInformationByHandleEx(file, FileIdInfo, &a, sizeof a) ||
      !GetFileInformationByHandleEx(other, FileIdInfo, &b, sizeof b)) {
    return false;
  }
  const bool volumes_known = a.VolumeSerialNumber != 0 && b.VolumeSerialNumber != 0;
  return (!volumes_known || a.VolumeSerialNumber == b.VolumeSerialNumber) &&
         std::memcmp(&a.FileId, &b.FileId, sizeof a.FileId) == 0;
}

// The standard stream that `file` also is, or else `otherwise`.
OwnedFile::Outcome standard_stream_or(HANDLE file, OwnedFile::Outcome otherwise) {
  if (same_file(file, 0)) return OwnedFile::is_input;
  if (same_file(file, 1)) return OwnedFile::is_output;
  if (same_file(file, 2)) return OwnedFile::is_error;
  return otherwise;
}

// Held open for writing by another handle: one of this process's standard streams (the
// shell opened it so), or another process.
OwnedFile::Outcome why_shared(const char* path) {
  // Asking for attributes only conflicts with no one's share mode.
  const HANDLE look = CreateFileA(path, FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (look == INVALID_HANDLE_VALUE) return OwnedFile::in_use;
  const OwnedFile::Outcome outcome = standard_stream_or(look, OwnedFile::in_use);
  CloseHandle(look);
  return outcome;
}

int open_error(const char* path, DWORD error) {
  // Windows denies access to a folder and to a read-only file alike, without saying which.
  if (error == ERROR_ACCESS_DENIED) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return windows::errno_of(error, " It is a folder.");
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return windows::errno_of(error, " The file is read-only.");
    }
  }
  return windows::errno_of(error);
}

// A drive letter that names no drive, or a drive without its medium, or else `opened`:
// the root of the path's drive cannot be seen either.
OwnedFile::Outcome drive_trouble(const char* path, DWORD error) {
  if (error == ERROR_NOT_READY) return OwnedFile::drive_not_ready;
  if ((error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_NOT_FOUND &&
       error != ERROR_INVALID_DRIVE) ||
      path[0] == '\0' || path[1] != ':') {
    return OwnedFile::opened;
  }
  const char root[] = {path[0], ':', '\\', '\0'};
  if (GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES) return OwnedFile::opened;
  return GetLastError() == ERROR_NOT_READY ? OwnedFile::drive_not_ready : OwnedFile::no_drive;
}

// A failure of the C library: the system's error where it kept one beside errno.
int library_error() {
  return _doserrno != 0 ? windows::errno_of(static_cast<DWORD>(_doserrno)) : errno;
}

}  // namespace

OwnedFile open_owned_file(const char* path) {
  OwnedFile file;
  // Others may read the file while this process has it, but no one else may write it:
  // a second writer's open fails with a sharing violation. Not emptied yet: nothing may
  // change before the checks below.
  const HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
      file.outcome = why_shared(path);
    } else if (const auto drive = drive_trouble(path, error); drive != OwnedFile::opened) {
      file.outcome = drive;
    } else {
      file.error = open_error(path, error);
    }
    return file;
  }
  file.outcome = standard_stream_or(handle, OwnedFile::opened);
  if (file.outcome == OwnedFile::opened && GetFileType(handle) == FILE_TYPE_DISK &&
      !SetEndOfFile(handle)) {  // at offset 0, where it was opened
    file.outcome = OwnedFile::cannot_open;
    file.error = windows::errno_of(GetLastError());
  }
  if (file.outcome == OwnedFile::opened) {
    // Bytes: the callers write the line ends they want.
    _doserrno = 0;
    file.fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (file.fd >= 0) return file;
    file.outcome = OwnedFile::cannot_open;
    file.error = library_error();
  }
  CloseHandle(handle);
  return file;
}

int cut_back(int fd, std::uint64_t size) {
  const HANDLE handle = handle_of(fd);
  if (GetFileType(handle) != FILE_TYPE_DISK) return ESPIPE;  // a pipe or a device
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
    return windows::errno_of(GetLastError());
  }
  return 0;
}

int close_file(int fd) {
  _doserrno = 0;
  return ::_close(fd) == 0 ? 0 : library_error();
}

}  // namespace platform
