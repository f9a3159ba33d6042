#pragma once
// A directory or file proposed for deletion.
#include <map>
#include <string>

struct CleanupCandidate {
    bool isDirectory = false;
    bool ticked = false; // starts ticked in the main window's list
    std::string name;    // as the file system lists it
    std::string path;    // full path; also the key of the candidate list
};

// The candidate list: full path to record, in byte-wise order of the path.
using CandidateList = std::map<std::string, CleanupCandidate>;
