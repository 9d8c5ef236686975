// Helpers shared by the Win32 tests: scratch folders, the test server's
// address, child processes of the test program and message-box answers.
#pragma once

#include <functional>
#include <string>

#include "runtime/Bytes.h"
#include "runtime/Text.h"
#include "runtime/Win32.h"

namespace testing_support {

using rt::Bytes;
using rt::Text;

// A fresh, empty folder under the temporary folder, with no trailing
// backslash; removed when the object goes out of scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const Text& label);
    ~ScratchFolder();
    const Text& path() const { return path_; }
    Text operator/(const Text& name) const { return path_ + "\\" + name; }

private:
    Text path_;
};

std::wstring Wide(const Text& text);
Text Narrow(const std::wstring& wide);

Bytes ReadWholeFile(const Text& path);
bool WriteWholeFile(const Text& path, const Bytes& bytes);
bool PathExists(const Text& path);

// "http://127.0.0.1:<port>" of the test server.
Text ServerBase();
// The server's request log since the last reset, as text.
Text ServerLog();
void ResetServer();
// Bytes the server generates for /__gen/<size>.
Bytes GeneratedBody(size_t size);

// Runs this test program again with the arguments; returns the process.
HANDLE StartChild(const std::wstring& arguments);
// Runs it to its end and gives its exit code (or -1).
int RunChild(const std::wstring& arguments, DWORD timeoutMs = 30000);

// A message box seen on screen: its caption, text and icon-free buttons.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
};

// Waits up to timeoutMs for a message box of this process whose caption
// is `caption`, reads it and presses the button with the command id.
// Runs on a thread of its own; join it with Wait().
class BoxAnswerer {
public:
    BoxAnswerer(const std::wstring& caption, int commandId, DWORD timeoutMs = 10000);
    ~BoxAnswerer();
    // True when a box was found and answered; fills `seen`.
    bool Wait(SeenBox* seen = nullptr);

private:
    static DWORD WINAPI Run(void* self);
    std::wstring caption_;
    int commandId_;
    DWORD timeoutMs_;
    SeenBox seen_;
    bool answered_ = false;
    HANDLE thread_ = nullptr;
};

}  // namespace testing_support

namespace testing_support {

// Makes Wine hand addresses to tests/fixtures/bin/url-recorder, which
// notes them in $URL_RECORD_FILE; returns the recorder file's Windows path.
Text UseUrlRecorder();
// The addresses recorded so far, one per line.
Text RecordedUrls();

}  // namespace testing_support
