// The engine entry's export name on POSIX: linked under a placeholder, renamed
// after the link.
//
// GNU linkers read "@@" in a symbol name as a symbol version, so no ELF
// linker can export "?run@@..." directly. The entry is linked as the
// placeholder, an ordinary name of the same length, and the dynamic symbol is
// renamed in the finished shared object by posix_export_rename.
#pragma once

inline constexpr char kEngineEntryPlaceholder[] = "EngineEntryPlaceholderOf31Chars";
inline constexpr char kEngineEntryName[] = "?run@@YGHPAUHINSTANCE__@@HPBD@Z";
static_assert(sizeof kEngineEntryPlaceholder == sizeof kEngineEntryName, "renamed in place: lengths must match");
