#include "platform/fs.h"

#include <windows.h>
// The Win32 names of these are macros; the layer's own functions carry the plain names.
#undef CopyFile
#undef MoveFile
#undef DeleteFile

#include <algorithm>
#include <random>

#include "platform/win32_text.h"

namespace sorvanto::fs {

namespace stdfs = std::filesystem;

namespace {

bool IsAbsoluteNative(std::string_view s) {
    return (s.size() >= 3 && s[1] == ':' && (s[2] == '\\' || s[2] == '/')) ||
           (s.size() >= 2 && (s[0] == '\\' || s[0] == '/') && (s[1] == '\\' || s[1] == '/')) ||
           (!s.empty() && s[0] == '/');
}

// Shift_JIS with kana or kanji in it is seldom valid UTF-8 as well, so this tells the two apart.
bool IsUtf8(std::string_view s) {
    return s.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(),
                                              static_cast<int>(s.size()), nullptr, 0) > 0;
}

}  // namespace

// Stored paths are Shift_JIS bytes, as the handset and the index files have them; the wide
// path is their code page 932 reading, whatever the system's own code page is.
stdfs::path NativePath(std::string_view stored) {
    std::string s(stored);
    if (IsAbsoluteNative(s)) {
        if (IsUtf8(s)) return stdfs::path(win32::Widen(s, CP_UTF8));
        return stdfs::path(win32::Widen(s, 932));
    }
    for (char& c : s)
        if (c == '/') c = '\\';
    while (s.size() >= 2 && s[0] == '.' && s[1] == '\\') s.erase(0, 2);
    return stdfs::path(win32::Widen(s, 932));
}

std::FILE* OpenFile(std::string_view stored, const char* mode) {
    // Always binary: the program does its own text-mode translation where it wants it.
    std::wstring m;
    for (const char* p = mode; *p; ++p)
        if (*p != 'b' && *p != 't') m.push_back(static_cast<wchar_t>(*p));
    m += L"b";
    return ::_wfopen(NativePath(stored).c_str(), m.c_str());
}

bool MoveFile(std::string_view from, std::string_view to) {
    // Without MOVEFILE_REPLACE_EXISTING the call fails when the target exists, as the callers want.
    return ::MoveFileExW(NativePath(from).c_str(), NativePath(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

static bool WriteAll(HANDLE h, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD wrote = 0;
        if (!::WriteFile(h, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

NewFile CreateNewFile(std::string_view stored, std::string_view bytes) {
    const auto path = NativePath(stored);
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A folder of that name gives "access denied" rather than "exists".
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || Exists(stored)) return NewFile::kTaken;
        return NewFile::kFailed;
    }
    bool ok = WriteAll(h, bytes);
    ok = (::CloseHandle(h) != 0) && ok;
    if (ok) return NewFile::kCreated;
    ::DeleteFileW(path.c_str());
    return NewFile::kFailed;
}

// Writes bytes under a temporary name beside the target, lets flush put them on the disk
// (given the open handle), and moves the file over the target.
template <class Flush>
static bool WriteThroughTemp(std::string_view stored, std::string_view bytes, Flush flush) {
    const auto target = NativePath(stored);
    static thread_local std::mt19937 rng{std::random_device{}()};
    auto tmp = target;
    tmp += L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(rng());
    const HANDLE h = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(h, bytes) && flush(h);
    ok = (::CloseHandle(h) != 0) && ok;
    // MoveFileEx with REPLACE_EXISTING swaps the file in one step: a reader sees the old index
    // or the new one.
    if (ok) ok = ::MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) ::DeleteFileW(tmp.c_str());
    return ok;
}

bool WriteFileAtomic(std::string_view stored, std::string_view bytes) {
    return WriteThroughTemp(stored, bytes, [](HANDLE h) { return ::FlushFileBuffers(h) != 0; });
}

bool WriteFileRenamed(std::string_view stored, std::string_view bytes) {
    return WriteThroughTemp(stored, bytes, [](HANDLE) { return true; });
}

// The names carry their folder already ("Melody\\0A1B..."), so the folder itself is not needed.
bool FlushFiles(std::string_view, const std::vector<std::string>& files) {
    bool ok = true;
    for (const std::string& file : files) {
        const HANDLE h = ::CreateFileW(NativePath(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            // A file deleted since it was written needs no flush.
            if (::GetLastError() != ERROR_FILE_NOT_FOUND) ok = false;
            continue;
        }
        if (!::FlushFileBuffers(h)) ok = false;
        ::CloseHandle(h);
    }
    return ok;
}

// Windows flushes file by file, so the shared flush is the same flushes in one place.
bool WriteFileAtomicWithFiles(std::string_view stored, std::string_view bytes, std::string_view folder,
                              const std::vector<std::string>& files) {
    return WriteThroughTemp(stored, bytes,
                            [&](HANDLE h) { return FlushFiles(folder, files) && ::FlushFileBuffers(h) != 0; });
}

}  // namespace sorvanto::fs
