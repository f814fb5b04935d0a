#pragma once
// Thin wrappers of the Windows calls that put files in place, take them back and measure room.
// Every path goes through long_path, so long ones work as short ones do.
#include <cstdint>
#include <cstdio>
#include <string>

// target takes replacement's content and keeps its own attributes; its old content is moved to
// backup. False when anything of that failed.
bool replace_file(const std::wstring& target, const std::wstring& replacement, const std::wstring& backup);
// Moves a file to a name where no file is yet, or, with replace, over one that is there.
bool move_file(const std::wstring& from, const std::wstring& to, bool replace);
// Removes a plain file, read-only or not. True when no file is left there.
bool delete_file(const std::wstring& path);
// Removes the folder if it is empty. False only when an empty folder is left there (another
// program has it open): one that holds something stays, as it should, and that is no failure.
bool remove_empty_folder(const std::wstring& folder);
// Removes the folder with everything below it, read-only files too; what cannot be removed stays.
void remove_tree(const std::wstring& folder);
// Free bytes of the volume holding folder, for this user; false when it cannot be told.
bool free_bytes(const std::wstring& folder, uint64_t& bytes);
// Writes what the stream still buffers and asks Windows to put the file on the disk itself, so
// that a power cut after this point finds it whole. False when either failed.
bool flush_to_disk(FILE* stream);
// Makes exactly this one folder; false when it could not, or a file or folder of that name is
// already there.
bool make_new_folder(const std::wstring& folder);
// The same, with an access list of its own, not inherited from the folder above and passed on to
// everything made inside: only this user, Administrators and SYSTEM may open or change it, so that
// no other account can read, swap or add a file in it.
bool make_private_folder(const std::wstring& folder);
// A file moved in from a private folder takes the access list of the folder it now lies in, as a
// file made there would have; its own explicit entries go.
bool inherit_access(const std::wstring& path);
// The cluster size of the volume holding folder, or 0 when it cannot be told.
uint64_t cluster_bytes(const std::wstring& folder);

// A file of its own written in appended pieces, each forced to the disk on request.
class Cappend_file {
public:
    Cappend_file() = default;
    ~Cappend_file() { close(); }
    Cappend_file(const Cappend_file&) = delete;
    Cappend_file& operator=(const Cappend_file&) = delete;

    // Creates the file; false when it is already there or cannot be made.
    bool create(const std::wstring& path);
    bool append(const std::string& bytes);
    bool flush();
    void close();

private:
    void* handle_ = nullptr;
};
