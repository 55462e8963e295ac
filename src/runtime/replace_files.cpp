#include "runtime/replace_files.h"

#include <chrono>
#include <cstdio>
#include <random>

namespace runtime {

namespace {

std::string directory_of(const std::string& path) {
  const size_t slash = last_separator(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
  const size_t slash = last_separator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string in_directory(const std::string& dir, const std::string& name) {
  return dir.empty() ? name : dir + path_separator + name;
}

// "<dir>/<tag>.<name><suffix>"
std::string tagged_name(const std::string& path, std::string_view tag, const char* suffix) {
  const size_t slash = last_separator(path);
  const size_t name_at = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name_at) + std::string(tag) + "." + path.substr(name_at) + suffix;
}

// Removes the name `path` if anything has it; false with *err when it is
// there and cannot be removed.
bool remove_if_there(disk& d, const std::string& path, std::string* err) {
  if (d.stat_no_follow(path) == disk::entry::missing) return true;
  return d.remove_file(path, err);
}

void remove_quietly(disk& d, const std::string& path) {
  std::string ignored;
  remove_if_there(d, path, &ignored);
}

// True when `name` is "<tag>.<base>.new" or "<tag>.<base>.old" with a tag as
// run_tag() makes them: digits, '-', lower-case hex digits.
bool leftover_of(const std::string& name, const std::string& base) {
  if (name.size() < base.size() + 7) return false;
  const std::string suffix = name.substr(name.size() - 4);
  if (suffix != ".new" && suffix != ".old") return false;
  const std::string rest = name.substr(0, name.size() - 4);
  if (rest.compare(rest.size() - base.size() - 1, std::string::npos, "." + base) != 0) return false;
  const std::string tag = rest.substr(0, rest.size() - base.size() - 1);
  const size_t dash = tag.find('-');
  if (dash == std::string::npos || dash == 0 || dash + 1 == tag.size()) return false;
  for (size_t i = 0; i < tag.size(); ++i) {
    const char c = tag[i];
    const bool ok = i < dash    ? c >= '0' && c <= '9'
                    : i == dash ? true
                                : (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    if (!ok) return false;
  }
  return true;
}

// One file of a journal: its final, temporary and second name (names only,
// all in the journal's directory) and whether there was an old file.
struct journal_entry {
  std::string name, temporary, backup;
  bool had_old = false;
};

struct journal {
  bool undoing = false;  // the renames are being undone, not finished
  std::vector<journal_entry> files;
};

constexpr std::string_view journal_head = "scenario replacement journal 1\n";

void put_field(std::string& out, const std::string& field) {
  out += std::to_string(field.size()) + " " + field + "\n";
}

std::string journal_text(const journal& j) {
  std::string out(journal_head);
  out += j.undoing ? "undo\n" : "finish\n";
  for (const journal_entry& e : j.files) {
    out += e.had_old ? "file old\n" : "file new\n";
    put_field(out, e.name);
    put_field(out, e.temporary);
    put_field(out, e.backup);
  }
  out += "end\n";
  return out;
}

// Reads what journal_text wrote; false for anything else.
bool parse_journal(std::string_view text, journal* j) {
  auto line = [&](std::string_view want) {
    if (text.substr(0, want.size()) != want) return false;
    text.remove_prefix(want.size());
    return true;
  };
  auto field = [&](std::string* out) {
    size_t n = 0, i = 0;
    while (i < text.size() && i < 10 && text[i] >= '0' && text[i] <= '9')
      n = n * 10 + static_cast<size_t>(text[i++] - '0');
    if (i == 0 || i >= text.size() || text[i] != ' ' || text.size() - i - 1 < n + 1) return false;
    *out = std::string(text.substr(i + 1, n));
    if (text[i + 1 + n] != '\n' || out->empty() ||
        out->find_first_of(path_separators) != std::string::npos || *out == "." || *out == "..")
      return false;
    text.remove_prefix(i + 2 + n);
    return true;
  };
  if (!line(journal_head)) return false;
  if (line("undo\n"))
    j->undoing = true;
  else if (!line("finish\n"))
    return false;
  for (;;) {
    if (line("end\n")) return text.empty() && !j->files.empty();
    journal_entry e;
    if (line("file old\n"))
      e.had_old = true;
    else if (!line("file new\n"))
      return false;
    if (!field(&e.name) || !field(&e.temporary) || !field(&e.backup)) return false;
    j->files.push_back(std::move(e));
  }
}

// Puts the journal in place whole: written under a temporary name, then
// renamed over the one before.
bool write_journal(disk& d, const std::string& path, const journal& j, std::string* err) {
  const std::string temp = temporary_name(path);
  int handle = -1;
  if (!d.create_file(temp, &handle, err)) {
    // Nothing of ours is there: a name already taken is not removed.
    return false;
  }
  bool ok = d.write(handle, journal_text(j), err);
  std::string close_err;
  if (!d.close(handle, &close_err) && ok) {
    *err = close_err;
    ok = false;
  }
  if (ok && d.rename_file(temp, path, err)) return true;
  remove_quietly(d, temp);
  return false;
}

// Reads the journal of `directory`; false with *failure when it is not a
// regular file or not a journal.
bool read_journal(disk& d, const std::string& path, journal* j, io_failure* failure) {
  std::string text, err;
  if (!d.read_file(path, &text, &err)) {
    *failure = {path, err, "read"};
    return false;
  }
  if (!parse_journal(text, j)) {
    *failure = {path, "not a replacement journal; check the files of the package and remove it",
                "read"};
    return false;
  }
  return true;
}

// Finishes or undoes the replacement a journal describes, then removes the
// journal. Each step can be done again: a run killed here is finished by the
// next one.
bool apply_journal(disk& d, const std::string& dir, const std::string& path, const journal& j,
                   io_failure* failure) {
  std::string err;
  auto fail = [&](const std::string& file, const char* action) {
    *failure = {file, err, action};
    return false;
  };
  for (const journal_entry& e : j.files) {
    const std::string final_path = in_directory(dir, e.name);
    const std::string temp = in_directory(dir, e.temporary);
    const std::string backup = in_directory(dir, e.backup);
    const bool temp_left = d.stat_no_follow(temp) == disk::entry::file;
    if (!j.undoing) {
      // A temporary file still there was not renamed yet.
      if (temp_left && !d.rename_file(temp, final_path, &err)) return fail(final_path, "write");
      continue;
    }
    if (e.had_old) {
      // When the old file was never replaced, both names are the same file
      // and the rename changes nothing: the second name is removed below.
      if (d.stat_no_follow(backup) != disk::entry::missing &&
          !d.rename_file(backup, final_path, &err))
        return fail(final_path, "write");
    } else if (!temp_left && !remove_if_there(d, final_path, &err)) {
      return fail(final_path, "delete");
    }
    if (!remove_if_there(d, temp, &err)) return fail(temp, "delete");
  }
  for (const journal_entry& e : j.files) {
    const std::string backup = in_directory(dir, e.backup);
    if (!remove_if_there(d, backup, &err)) return fail(backup, "delete");
  }
  if (!d.remove_file(path, &err)) return fail(path, "delete");
  return true;
}

std::string make_run_tag() {
  uint64_t random = 0;
  try {
    std::random_device source;
    random = (uint64_t{source()} << 32) ^ source();
  } catch (...) {
    // No source of randomness: the clock will do, the process number is
    // what keeps the tag apart from other live runs anyway.
  }
  random ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lld-%06llx", static_cast<long long>(process_number()),
                static_cast<unsigned long long>(random & 0xFFFFFF));
  return buf;
}

}  // namespace

std::string describe(const io_failure& failure) {
  return "cannot " + failure.action + " " + failure.path + ": " + failure.reason;
}

const std::string& run_tag() {
  static const std::string tag = make_run_tag();
  return tag;
}

std::string temporary_name(const std::string& path, std::string_view tag) {
  return tagged_name(path, tag, ".new");
}

std::string temporary_name(const std::string& path) {
  return temporary_name(path, run_tag());
}

std::string backup_name(const std::string& path, std::string_view tag) {
  return tagged_name(path, tag, ".old");
}

std::string journal_path(const std::string& directory) {
  return in_directory(directory, journal_file_name);
}

void discard_temporaries(disk& d, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) remove_quietly(d, temporary_name(path));
}

bool replace_together(disk& d, const std::vector<std::string>& paths, io_failure* failure) {
  auto give_up = [&](const std::string& path, std::string reason) {
    discard_temporaries(d, paths);
    *failure = {path, std::move(reason), "write"};
    return false;
  };

  // Nothing may stand in the way of a rename: find that out before any file
  // is touched.
  for (const std::string& path : paths) {
    disk::entry e = d.stat(path);
    if (e == disk::entry::directory) return give_up(path, "Is a directory");
    if (e == disk::entry::other) return give_up(path, "Not a regular file");
  }

  // One file is put in place by one rename; nothing to journal.
  if (paths.size() == 1) {
    std::string err;
    if (!d.rename_file(temporary_name(paths[0]), paths[0], &err)) return give_up(paths[0], err);
    return true;
  }
  if (paths.empty()) return true;

  const std::string dir = directory_of(paths[0]);
  for (const std::string& path : paths)
    if (directory_of(path) != dir)
      return give_up(path, "the files of one set must share a directory");
  const std::string journal_file = journal_path(dir);
  journal j;
  for (const std::string& path : paths)
    j.files.push_back({name_of(path), name_of(temporary_name(path)),
                       name_of(backup_name(path, run_tag())),
                       d.stat_no_follow(path) != disk::entry::missing});

  // Keep a second name for each old file, so that a rename failing half-way
  // can be undone.
  std::vector<bool> kept(paths.size(), false);
  auto drop_backups = [&] {
    for (size_t i = 0; i < paths.size(); ++i)
      if (kept[i]) remove_quietly(d, backup_name(paths[i], run_tag()));
  };
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!j.files[i].had_old) continue;
    const std::string backup = backup_name(paths[i], run_tag());
    std::string err;
    if (!d.link_file(paths[i], backup, &err)) {
      // Named by the file whose old content could not be kept: that is the
      // one the user knows (and may have open in another program).
      drop_backups();
      return give_up(paths[i], err);
    }
    kept[i] = true;
  }

  // From here until the journal is removed, a killed run leaves the journal
  // for recover_interrupted_replacement to finish.
  std::string err;
  if (!write_journal(d, journal_file, j, &err)) {
    drop_backups();
    return give_up(journal_file, err);
  }

  for (size_t i = 0; i < paths.size(); ++i) {
    if (d.rename_file(temporary_name(paths[i]), paths[i], &err)) continue;
    // Undo the renames already made: the set stays as it was. The journal
    // says so first, so that a run killed while undoing is undone too. If
    // even that cannot be written, the undo goes on all the same.
    j.undoing = true;
    std::string ignored;
    write_journal(d, journal_file, j, &ignored);
    for (size_t k = 0; k < i; ++k) {
      if (kept[k])
        d.rename_file(backup_name(paths[k], run_tag()), paths[k], &ignored);
      else
        d.remove_file(paths[k], &ignored);
      kept[k] = false;
    }
    drop_backups();
    discard_temporaries(d, paths);
    d.remove_file(journal_file, &ignored);
    *failure = {paths[i], err, "write"};
    return false;
  }
  drop_backups();
  if (!d.remove_file(journal_file, &err)) {
    // The new set is in place; only the record of it is left over.
    *failure = {journal_file, err, "delete"};
    return false;
  }
  return true;
}

bool find_interrupted_replacement(disk& d, const std::string& directory,
                                  const std::vector<std::string>& paths, std::string* message) {
  const std::string path = journal_path(directory);
  if (d.stat_no_follow(path) == disk::entry::missing) return false;
  journal j;
  io_failure failure;
  std::string names;
  if (read_journal(d, path, &j, &failure)) {
    for (const journal_entry& e : j.files) {
      bool ours = false;
      for (const std::string& p : paths) ours = ours || name_of(p) == e.name;
      if (ours) names += (names.empty() ? "" : ", ") + e.name;
    }
    if (names.empty()) return false;
  }
  *message = "the replacement of " + (names.empty() ? std::string("the files") : names) + " in " +
             directory + " was interrupted (" + path + " is left" +
             (failure.reason.empty() ? "" : ", and " + failure.reason) +
             "): they may mix old and new content until the program that wrote them runs there "
             "again and finishes the replacement";
  return true;
}

bool recover_interrupted_replacement(disk& d, const std::string& directory,
                                     const std::vector<std::string>& paths, io_failure* failure) {
  const std::string path = journal_path(directory);
  const disk::entry at = d.stat_no_follow(path);
  if (at == disk::entry::directory || at == disk::entry::other) {
    *failure = {path, "not a regular file; check the files of the package and remove it", "read"};
    return false;
  }
  if (at == disk::entry::file) {
    journal j;
    if (!read_journal(d, path, &j, failure)) return false;
    if (!apply_journal(d, directory, path, j, failure)) return false;
  }

  // Temporary files and second names any earlier run left. The lock keeps
  // other runs out, so none of them is still in use.
  std::vector<std::string> names;
  std::string err;
  if (!d.list_directory(directory.empty() ? "." : directory, &names, &err)) {
    *failure = {directory, err, "read"};
    return false;
  }
  std::vector<std::string> bases = {journal_file_name};
  for (const std::string& p : paths) bases.push_back(name_of(p));
  for (const std::string& name : names) {
    bool leftover = false;
    for (const std::string& base : bases) leftover = leftover || leftover_of(name, base);
    if (!leftover) continue;
    const std::string left = in_directory(directory, name);
    if (!d.remove_file(left, &err)) {
      *failure = {left, err, "delete"};
      return false;
    }
  }
  return true;
}

}  // namespace runtime
