#pragma once
// A scratch directory for one test, removed with everything in it when the test ends.
#include <string>

class TempDir {
public:
    // Created under root (a drive or folder); a fresh unique name each time.
    explicit TempDir(const std::string& root = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Helpers for building fixture trees (narrow, code page 936 paths).
void WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path);
void MakeDirs(const std::string& path);
bool PathExists(const std::string& path);
// Removes a tree without following links (test clean-up only).
void RemoveTreeForTest(const std::string& path);
