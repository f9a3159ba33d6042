#pragma once
// Starting the test child programs and reading what they leave behind.
#include "comm/UniqueHandle.h"
#include "support/TempDir.h"
#include "ustd/ModulePath.h"

#include <windows.h>
#include <dbghelp.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

// A program built next to this test executable.
inline std::string BuiltProgram(const std::string& fileName)
{
    return ExeDirectory() + "\\" + fileName;
}

// Copies the child program into dir under the given name, so that its exeDir (log, Dump)
// is dir.
inline std::string PlaceChild(const std::string& dir, const std::string& name)
{
    const std::string target = dir + "\\" + name;
    CopyFileA(BuiltProgram("ustd_child.exe").c_str(), target.c_str(), FALSE);
    return target;
}

class ChildProcess {
public:
    ChildProcess(const std::string& exe, const std::string& args)
    {
        std::string commandLine = "\"" + exe + "\" " + args;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        startTick_ = GetTickCount();
        if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            process_.Reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    ~ChildProcess()
    {
        // Ends only this child, if a failed test left it running.
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.Get(), 1);
            WaitForSingleObject(process_.Get(), 5000);
        }
    }
    bool Started() const { return static_cast<bool>(process_); }
    // True when the child ended within timeoutMs; then exitCode and elapsedMs are set.
    bool Wait(DWORD timeoutMs, DWORD& exitCode, DWORD& elapsedMs)
    {
        if (!process_ || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
            return false;
        elapsedMs = GetTickCount() - startTick_;
        return GetExitCodeProcess(process_.Get(), &exitCode) != 0;
    }

private:
    CKernelHandle process_;
    DWORD startTick_ = 0;
};

// Runs a child to its end; false on time-out.
inline bool RunChild(const std::string& exe, const std::string& args, DWORD timeoutMs, DWORD& exitCode)
{
    ChildProcess child(exe, args);
    DWORD elapsed = 0;
    return child.Wait(timeoutMs, exitCode, elapsed);
}

// What a minidump file holds, read from its header and stream directory.
struct DumpSummary {
    bool valid = false; // "MDMP" signature and a readable directory
    std::set<uint32_t> streams;
    uint32_t exceptionCode = 0; // from the exception stream, if any
};

inline DumpSummary ReadDump(const std::string& path)
{
    // Only the header, the stream directory and the exception stream are read: a full-memory
    // dump is tens of megabytes.
    DumpSummary summary;
    std::ifstream in(path, std::ios::binary);
    const auto readAt = [&](uint64_t offset, void* out, size_t size) {
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
        return static_cast<size_t>(in.gcount()) == size;
    };
    MINIDUMP_HEADER header;
    if (!readAt(0, &header, sizeof header) || header.Signature != 0x504D444Du) // "MDMP"
        return summary;
    for (uint32_t i = 0; i < header.NumberOfStreams; ++i) {
        MINIDUMP_DIRECTORY entry;
        if (!readAt(header.StreamDirectoryRva + uint64_t(i) * sizeof entry, &entry, sizeof entry))
            return summary;
        summary.streams.insert(entry.StreamType);
        MINIDUMP_EXCEPTION_STREAM exception;
        if (entry.StreamType == ExceptionStream && readAt(entry.Location.Rva, &exception, sizeof exception))
            summary.exceptionCode = exception.ExceptionRecord.ExceptionCode;
    }
    summary.valid = true;
    return summary;
}

// Full paths of the files matching pattern in dir, sorted.
inline std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA data = {};
    CFindHandle find(FindFirstFileA((dir + "\\" + pattern).c_str(), &data));
    if (find) {
        do
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(dir + "\\" + data.cFileName);
        while (FindNextFileA(find.Get(), &data));
    }
    std::sort(files.begin(), files.end());
    return files;
}
