#include "support/TempDir.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
std::atomic<unsigned> g_counter{0};
}

TempDir::TempDir(const std::string& root)
{
    std::string base = root;
    if (base.empty()) {
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        base = tmp;
    }
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    char name[64];
    std::snprintf(name, sizeof name, "\\tw%lu_%lu_%u", GetCurrentProcessId(), GetTickCount(),
                  g_counter++);
    path_ = base + name;
    MakeDirs(path_);
}

TempDir::~TempDir()
{
    RemoveTreeForTest(path_);
}

void WriteTextFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void MakeDirs(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTreeForTest(const std::string& path)
{
    const DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attrs & FILE_ATTRIBUTE_DIRECTORY));
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name != "." && name != "..")
                    RemoveTreeForTest(path + "\\" + name);
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
    }
    RemoveDirectoryA(path.c_str());
}
