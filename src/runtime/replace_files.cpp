#include "runtime/replace_files.h"

namespace {

std::string backup_name(const std::string& path) {
  return path + ".old";
}

void remove_quietly(disk& d, const std::string& path) {
  std::string ignored;
  if (d.stat(path) == disk::entry::file) d.remove_file(path, &ignored);
}

}  // namespace

std::string describe(const io_failure& failure) {
  return "cannot " + failure.action + " " + failure.path + ": " + failure.reason;
}

std::string temporary_name(const std::string& path) {
  return path + ".new";
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

  // With more than one file, keep a second name for each old file, so that a
  // rename failing half-way can be undone.
  std::vector<bool> kept(paths.size(), false);
  auto drop_backups = [&] {
    for (size_t i = 0; i < paths.size(); ++i)
      if (kept[i]) remove_quietly(d, backup_name(paths[i]));
  };
  if (paths.size() > 1) {
    for (size_t i = 0; i < paths.size(); ++i) {
      if (d.stat(paths[i]) != disk::entry::file) continue;
      remove_quietly(d, backup_name(paths[i]));
      std::string err;
      if (!d.link_file(paths[i], backup_name(paths[i]), &err)) {
        drop_backups();
        return give_up(paths[i], err);
      }
      kept[i] = true;
    }
  }

  for (size_t i = 0; i < paths.size(); ++i) {
    std::string err;
    if (d.rename_file(temporary_name(paths[i]), paths[i], &err)) continue;
    // Undo the renames already made: the set stays as it was.
    for (size_t k = 0; k < i; ++k) {
      std::string ignored;
      if (kept[k])
        d.rename_file(backup_name(paths[k]), paths[k], &ignored);
      else
        d.remove_file(paths[k], &ignored);
      kept[k] = false;
    }
    drop_backups();
    return give_up(paths[i], err);
  }
  drop_backups();
  return true;
}
