#pragma once
// Replacing files without ever losing the old content: each new file is
// written whole under a temporary name beside its final one, and only then
// renamed over it. A set of files that belong together is renamed as a set,
// with a journal in the directory while the renames run, so that a run killed
// half-way can be finished by the next one.
//
// A writer's order: lock the directory (disk::lock_directory), recover what
// an earlier run left (recover_interrupted_replacement), write each file
// under temporary_name(path) (output_file), then replace_together, or
// discard_temporaries after a failed write; release the lock at the end.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/disk.h"

namespace runtime {

// A file operation that failed: the file, the system's reason and what was
// being done ("write", "read", "delete").
struct io_failure {
  std::string path;
  std::string reason;
  std::string action = "write";
};

// "cannot write /dir/file: No space left on device"
std::string describe(const io_failure& failure);

// The mark of this run in the names of its temporary files: the process
// number and a random part, "4711-9c3e0a". No two runs at once share it.
const std::string& run_tag();

// The temporary name under which the new content of `path` is written:
// "<dir>/<tag>.<name>.new", in the same directory. The disk creates it
// exclusively, so a file, link or pipe already there is never opened.
std::string temporary_name(const std::string& path);
std::string temporary_name(const std::string& path, std::string_view tag);

// The second name under which the old file of `path` is kept while a set is
// replaced: "<dir>/<tag>.<name>.old".
std::string backup_name(const std::string& path, std::string_view tag);

// Puts the temporary files of `paths` in place of the files themselves. On
// failure no file of the set is changed (the earlier files are put back), no
// temporary file is left, and *failure names the file and the reason. The
// files of a set must share one directory.
bool replace_together(disk& d, const std::vector<std::string>& paths, io_failure* failure);

// Removes the temporary files of `paths` that exist, after a failed write.
void discard_temporaries(disk& d, const std::vector<std::string>& paths);

// The journal of a set's renames, in the set's directory: it exists from
// just before the first rename to just after the last.
inline constexpr const char* journal_file_name = ".scenario.journal";
std::string journal_path(const std::string& directory);

// True when `directory` holds the journal of an interrupted replacement
// that concerns any of `paths` (or a journal that cannot be read): the files
// may then be a mix of old and new ones. *message says so, names the
// journal and how to finish the replacement.
bool find_interrupted_replacement(disk& d, const std::string& directory,
                                  const std::vector<std::string>& paths, std::string* message);

// Finishes what a killed run left in `directory`, before anything else is
// written there and with the directory locked: a replacement whose journal
// is left is completed (or, when it was being undone, undone), and the
// temporary files and second names of `paths` that any run left are
// removed. False, with *failure naming the file, when something cannot be
// removed or renamed, or the journal cannot be read; nothing is then guessed.
//
// What stays open: no fsync is done, so after a power loss the renames and
// the journal may reach the disk in another order than they were made; and a
// reader that does not lock can still read while another run renames.
bool recover_interrupted_replacement(disk& d, const std::string& directory,
                                     const std::vector<std::string>& paths, io_failure* failure);

}  // namespace runtime
