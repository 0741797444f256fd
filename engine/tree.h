// Tree to tree, for build pipelines: the pages of a source folder compressed
// into an output folder at the same relative places, the other files copied
// or linked beside them, the source only ever read. A manifest in the output
// folder says what each output file was made from, so that the next run
// writes only what changed since.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vexel {

// What becomes of the files of the source that are not pages.
enum class OtherFiles {
    Copy,  // copied, byte for byte (the default: the output stands alone)
    Link,  // a symbolic link to the source file
    Skip,  // left out
};

// The manifest's name, at the top of the output folder.
constexpr const char* kTreeManifestName = ".vexel-tree";

// Why `source` and `output` cannot be a source folder and its output folder:
// the source is no folder, they are one folder, or one lies inside the other
// (links followed; an output that does not exist yet by the folders it would
// be made in). Empty when they can.
std::string TreeFoldersProblem(const std::string& source, const std::string& output);

// `path` is `folder` or lies inside it, links followed (for a path that does
// not exist yet, those of the folders above it).
bool PathWithin(const std::string& path, const std::string& folder);

struct TreeFile {
    std::string relative;  // below both roots, with the system's separators
    std::string source;
    std::string output;
    bool page = false;  // a page by its name (.htm, .html, any letter case)
    // The source file (links followed) when it was listed: its size and time
    // of change say whether it changed since the output was made.
    platform::FileInfo found;
};

struct TreeListing {
    std::vector<TreeFile> files;       // in the order of their relative paths
    std::vector<std::string> folders;  // relative, each after its parent
    std::vector<std::string> errors;   // what could not be listed, and why
};

// Every file below `source`, followed into sub-folders; a link to a file
// counts as that file, a link to a folder is not entered (it could lead back
// into the tree). Special files (FIFOs, devices) are listed as errors.
TreeListing ListTree(const std::string& source, const std::string& output);

// The files and folders `names` (as --files0-from gives them), each of which
// must lie inside `source`; a folder gives every file below it.
TreeListing ListTreeNames(const std::string& source, const std::vector<std::string>& names,
                          const std::string& output);

// Creates the output folder and `folders` in it where missing. Throws IoError
// naming the first folder that cannot be made.
void MakeTreeFolders(const std::string& output, const std::vector<std::string>& folders);

// Removes the temporary files that a run killed part-way left in the output
// folder and `folders` in it (only names of our temporary files: NAME.vexel-
// HEX-HEX.tmp), so that they are not published with the output. One run at
// a time writes an output folder. Gives back how many were removed.
int RemoveTreeTemporaries(const std::string& output, const std::vector<std::string>& folders);

// Puts `data` at `path` through a temporary file beside it, flushed to the
// disk and then renamed: a run stopped at any moment or a full disk leaves the
// earlier file or the new one under that name, never part of one. Whatever
// stands at `path` is replaced, a link too, never written through (it may
// lead into the source). Permissions come from `permissionsFrom`.
void WriteTreeFile(const std::string& path, const std::string& data, const std::string& permissionsFrom);

// The other files: copied through WriteTreeFile, or linked (a new link
// renamed over the old name).
void CopyTreeFile(const TreeFile& file);
void LinkTreeFile(const TreeFile& file);

// What each output file was made from: the source's size and time of change
// and the output's own, under the settings of the run that made it. An output
// file counts as up to date only while all four are as recorded, so a
// changed source and an output edited or removed since are both written again.
class TreeManifest {
public:
    // Reads the manifest of `output`, if any; the entries of a run with other
    // `settings` are dropped (all is written again). A damaged manifest counts
    // as none.
    void Load(const std::string& output, const std::string& settings);
    bool UpToDate(const TreeFile& file) const;
    // After `file` was written: the output as it is now.
    void Record(const TreeFile& file);
    void Forget(const TreeFile& file);
    // Writes the entries of the files in `keep` (those of this run's source)
    // through a temporary file; with `keepOthers` (a run over some of the
    // source's files) the entries of files not in `keep` stay as well.
    // Throws IoError naming the manifest.
    void Save(const std::vector<TreeFile>& keep, bool keepOthers) const;

private:
    struct Entry {
        int64_t sourceSize = 0;
        int64_t sourceTime = 0;
        int64_t outputSize = 0;
        int64_t outputTime = 0;
    };
    std::string path_;
    std::string settings_;
    std::map<std::string, Entry> entries_;
};

}  // namespace vexel
