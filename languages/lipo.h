#pragma once
// Thinning of fat Mach-O files: the caller names the architectures to drop once
// (setup_lipo), rewrites any number of files without those slices (run_lipo) and releases the
// list at the end (finish_lipo). Problems go to the system log; nothing is shown.
//
// A file is only ever replaced whole: the thinned content is written to a temporary file
// beside it (same owner, group and mode) and renamed over it once every byte is on disk.
// A run that fails leaves the file exactly as it was. A file with more than one name (hard
// links) is not thinned, nor one with extended attributes outside the user namespace (a file
// capability, an access list, a security label), which the new file could not keep; user
// attributes are copied onto the new file.

#include <cstdint>
#include <functional>

#include "languages/FatFile.h"

/// One row of the architecture table.
struct arch_flag {
    const char* name;  // nullptr in the end row
    cpu_type_t cputype;
    cpu_subtype_t cpusubtype;
};

/// The 47 named architectures followed by an end row without a name.
extern const arch_flag arch_flags[48];

/// One slice of the file being thinned.
struct thin_file {
    const char* name;           // the path given to run_lipo
    const unsigned char* addr;  // the slice's bytes inside the mapped input
    struct fat_arch fat_arch;   // the slice's record, host order
};

/// Stores the architectures to remove, in the order given; 1 when ready, 0 (and no list) when
/// a name is unknown or memory is short. Names given twice are logged but accepted.
int setup_lipo(const char* const* archs, unsigned int narchs);

/// Rewrites the fat file at `path` without the slices of the remove list. Answers 0 and sets
/// `*saved_bytes` to the bytes saved (never below zero) when the file was rewritten; answers 1
/// and leaves the file and `*saved_bytes` untouched otherwise.
int run_lipo(const char* path, std::uint64_t* saved_bytes);

/// Releases the remove list.
void finish_lipo();

/// Order of slices in a rewritten file: the first record's align minus the second's.
int cmp_qsort(const thin_file& a, const thin_file& b);

/// Seams for tests that change the file while run_lipo works on it.
namespace lipo_testing {
enum class Point {
    BetweenStatusReads,  // the input is open and mapped; its second status read follows
    BeforeReplace,       // the new content is complete; the rename over the input follows
};
/// Installs a hook called with the point and the path; an empty function removes it.
void set_hook(std::function<void(Point, const char* path)> hook);
}  // namespace lipo_testing
