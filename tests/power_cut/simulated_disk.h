// A platform layer over a simulated disk, for modelling power cuts: it
// keeps apart what a write made durable (flushed file data, flushed
// directory entries) from what was only done, so that a test can cut the
// power at any step and bring the disk back with any part of the unflushed
// work lost or kept.
#ifndef WIDESAVE_TESTS_SIMULATED_DISK_H
#define WIDESAVE_TESTS_SIMULATED_DISK_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace simdisk {

// Names are slot file names inside the one save directory the disk has.
using Entries = std::map<std::string, int>;  // name -> inode

struct Inode {
    std::string data;     // as written
    std::string durable;  // as flushed
};

// An entry change not yet flushed with its directory.
struct EntryChange {
    enum Kind { link, unlink, rename } kind;
    std::string name;
    std::string to;  // rename only
    int inode;
};

struct Disk {
    std::vector<Inode> inodes;
    Entries entries;          // as done
    Entries durable_entries;  // as flushed
    std::vector<EntryChange> unflushed;
};

// The disk the platform layer works on; the save directory is "/sim/slots".
Disk& disk();
// Starts over with a disk holding these files, all durable.
void format(const std::map<std::string, std::string>& files);

// Cuts the power before platform step `step` from now (counting each
// operation, and the rename and the directory flush of a replace apart):
// that step and all after it fail without touching the disk. -1: never.
void cut_power_at(int step);
// Steps taken since format().
int steps_taken();
// Whether the power was cut, and the disk as it was at that moment.
bool power_was_cut();
const Disk& disk_at_cut();

// The files on a disk brought back after a cut, keeping of the unflushed
// work what `keep` says: bit i for unflushed entry change i, then one bit
// for each inode whose data was not flushed (in inode order).
std::map<std::string, std::string> recover(const Disk& at_cut, std::uint64_t keep);
// How many bits recover() reads for that disk.
int unflushed_items(const Disk& at_cut);

}  // namespace simdisk

#endif
