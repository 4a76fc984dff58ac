#pragma once
// The universal (fat) Mach-O container as it lies on disk: an 8-byte header followed by one
// 20-byte record per slice, every field big-endian. Only the 32-bit variant is described.

#include <bit>
#include <cstdint>

using cpu_type_t = std::int32_t;
using cpu_subtype_t = std::int32_t;

/// The first four bytes of a fat file, CA FE BA BE, read as a big-endian number.
constexpr std::uint32_t FAT_MAGIC = 0xcafebabe;
/// The capability bits of a CPU subtype; architectures are compared without them.
constexpr std::uint32_t CPU_SUBTYPE_MASK = 0xff000000;
/// The largest slice alignment accepted, as a power of two.
constexpr std::uint32_t MAXSECTALIGN = 15;

/// Header of a fat file.
struct fat_header {
    std::uint32_t magic;      // FAT_MAGIC
    std::uint32_t nfat_arch;  // number of records that follow
};

/// One slice record of a fat file.
struct fat_arch {
    cpu_type_t cputype;
    cpu_subtype_t cpusubtype;
    std::uint32_t offset;  // file offset of the slice
    std::uint32_t size;    // length of the slice in bytes
    std::uint32_t align;   // alignment of the slice as a power of two
};

static_assert(sizeof(fat_header) == 8, "fat_header must match the 8 bytes on disk");
static_assert(sizeof(fat_arch) == 20, "fat_arch must match the 20 bytes on disk");

namespace fatfile_detail {
constexpr std::uint32_t toBigEndian(std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::big) return v;
    return ((v & 0x000000ffu) << 24) | ((v & 0x0000ff00u) << 8) | ((v & 0x00ff0000u) >> 8) |
           ((v & 0xff000000u) >> 24);
}
constexpr std::int32_t toBigEndian(std::int32_t v) {
    return static_cast<std::int32_t>(toBigEndian(static_cast<std::uint32_t>(v)));
}
}  // namespace fatfile_detail

/// Converts a header between big-endian (disk) and host order; the same call goes both ways.
inline void swap_fat_header(fat_header* header) {
    header->magic = fatfile_detail::toBigEndian(header->magic);
    header->nfat_arch = fatfile_detail::toBigEndian(header->nfat_arch);
}

/// Converts `count` records between big-endian (disk) and host order, in place.
inline void swap_fat_arch(fat_arch* archs, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        fat_arch& a = archs[i];
        a.cputype = fatfile_detail::toBigEndian(a.cputype);
        a.cpusubtype = fatfile_detail::toBigEndian(a.cpusubtype);
        a.offset = fatfile_detail::toBigEndian(a.offset);
        a.size = fatfile_detail::toBigEndian(a.size);
        a.align = fatfile_detail::toBigEndian(a.align);
    }
}
