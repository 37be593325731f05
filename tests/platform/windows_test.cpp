#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/interrupts.h"
#include "platform/results_file.h"
#include "platform/streams.h"

namespace {

using Clock = std::chrono::steady_clock;

// A console event as the system delivers one: kernelbase's CtrlRoutine, on a thread of
// its own, calls the handlers. Wine sends Ctrl-C only, and only to a console.
// GetProcAddress's type fits no function; it goes through void* to the one it is.
const auto kCtrlRoutine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernelbase.dll"), "CtrlRoutine")));

HANDLE deliver(DWORD event, DWORD after_ms = 0) {
  if (after_ms != 0) Sleep(after_ms);
  return CreateThread(nullptr, 0, kCtrlRoutine, reinterpret_cast<void*>(std::uintptr_t{event}), 0,
                      nullptr);
}

int descriptor(HANDLE handle, int mode) {
  return ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), mode | _O_BINARY);
}

// A closed console window must leave the program time to save: the first event is kept,
// a read or a write waiting on a pipe gives up within moments, and the handler does not
// return (the system would end the process if it did).
TEST(WindowsConsoleEvents, AClosedWindowCutsWaitsShortAndLeavesTimeToSave) {
  if (kCtrlRoutine == nullptr) GTEST_SKIP() << "kernelbase has no CtrlRoutine";
  platform::catch_interrupts();
  HANDLE read_end, write_end;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 1 << 12));
  const int input = descriptor(read_end, _O_RDONLY), output = descriptor(write_end, _O_WRONLY);

  HANDLE close_handler = nullptr;
  HANDLE sender = CreateThread(
      nullptr, 0,
      [](void* handler) -> DWORD {
        *static_cast<HANDLE*>(handler) = deliver(CTRL_CLOSE_EVENT, 300);
        return 0;
      },
      &close_handler, 0, nullptr);
  char byte;
  const auto start = Clock::now();
  const platform::Transfer read = platform::read_some(input, &byte, 1);  // nothing comes
  EXPECT_TRUE(read.interrupted);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  WaitForSingleObject(sender, 5000);
  const int first = platform::caught_interrupt();
  EXPECT_NE(first, 0);

  WaitForSingleObject(deliver(CTRL_C_EVENT), 1000);
  EXPECT_EQ(platform::caught_interrupt(), first) << "a later event changed the first";
  EXPECT_EQ(WaitForSingleObject(close_handler, 200), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the handler returned before the program ended itself";

  // Nobody reads the pipe: after its buffer, the write stalls and is given up.
  const std::string lots(1 << 20, 'x');
  const auto writing = Clock::now();
  const platform::Transfer wrote = platform::write_all(output, lots);
  EXPECT_TRUE(wrote.interrupted);
  EXPECT_LT(wrote.bytes, lots.size());
  EXPECT_LT(Clock::now() - writing, std::chrono::seconds(3));
}

// Another writer of the results file, be it in this process, is refused before anything
// is changed; readers are welcome.
TEST(WindowsResultsFile, ASecondWriterIsRefusedAndChangesNothing) {
  const auto folder = std::filesystem::temp_directory_path() / "tamsel-owned-file-test";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "Orvanic.txt").string();
  std::ofstream(path, std::ios::binary) << "earlier lists\r\n";
  const platform::OwnedFile first = platform::open_owned_file(path.c_str());
  ASSERT_EQ(first.outcome, platform::OwnedFile::opened);
  EXPECT_EQ(platform::write_all(first.fd, "3 5\r\n").error, 0);
  EXPECT_EQ(platform::open_owned_file(path.c_str()).outcome, platform::OwnedFile::in_use);
  std::ifstream file(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "3 5\r\n");
  EXPECT_EQ(platform::close_file(first.fd), 0);
  file.close();
  std::filesystem::remove_all(folder);
}

}  // namespace
