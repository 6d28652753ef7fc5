#include "search/hash_table.h"

#include <cstddef>
#include <cstdlib>
#include <sys/mman.h>

#include "search/ordering.h"
#include "search/root_depth.h"
#include "uci/line_writer.h"
#include "uci/process_end.h"

HashEntry* hash_table = nullptr;
std::uint32_t hash_mask = 0;
std::int32_t hash_megabytes = 32;

namespace {

// The two fatal messages, in the Windows-1251 code page the engine has always used.
constexpr char kNothingToRelease[] =
    "\xEE\xF1\xE2\xEE\xE1\xEE\xE6\xE4\xE0\xF2\xFC\x20\xED\xE5\xF7\xE5\xE3\xEE\x20\n";  // "освобождать нечего "
constexpr char kNoMemory[] = "\xEF\xE0\xEC\xFF\xF2\xE8\x20\xED\xE5\xF2\x20\n";        // "памяти нет "

[[noreturn]] void fail(const char* message, std::size_t size) {
    write_all(message, size);
    end_process(1);
}

std::size_t mapped_bytes = 0;

void allocate_at_current_size() {
    std::uint32_t slots = hash_slot_count(hash_megabytes);
#ifdef VARGUL_FUZZ
    // The fuzzing build keeps the table small: clearing a large one at every
    // "go" would cost more than the search it serves.
    if (slots > 4096) slots = 4096;
#endif
    std::size_t bytes = std::size_t{slots} * sizeof(HashEntry);
    // Fresh anonymous pages come zero-filled. Huge pages, where the system
    // grants them, make the first clear fault a few dozen times instead of
    // thousands and spare the search most of its TLB misses on probes.
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) fail(kNoMemory, sizeof kNoMemory - 1);
    ::madvise(block, bytes, MADV_HUGEPAGE);
    hash_table = static_cast<HashEntry*>(block);
    mapped_bytes = bytes;
    hash_mask = slots - 1;
}

}  // namespace

std::uint32_t hash_slot_count(std::int32_t megabytes) {
    // Megabytes times 2^20 / 32 in 32-bit arithmetic: exact for 0..4095.
    std::uint32_t limit = (static_cast<std::uint32_t>(megabytes) << 20) >> 5;
    std::uint32_t count = 1;
    while (count <= limit / 2) count *= 2;
    return count;
}

void allocate_hash_table() {
    release_hash_table();
    allocate_at_current_size();
}

void resize_hash_table() {
    if (hash_table == nullptr) fail(kNothingToRelease, sizeof kNothingToRelease - 1);
    release_hash_table();
    allocate_at_current_size();
}

void release_hash_table() {
    if (hash_table != nullptr) ::munmap(hash_table, mapped_bytes);
    hash_table = nullptr;
    mapped_bytes = 0;
}

void ensure_hash_table() {
    if (hash_table == nullptr) allocate_at_current_size();
}

void hash_clear() {
    if (hash_table == nullptr) return;
    for (std::uint64_t i = 0; i <= hash_mask; ++i) hash_table[i].key = kEmptySlotKey;
}

int hash_move_to_front(MoveList& list, std::uint64_t key) {
    return move_to_front(list, hash_table[key & hash_mask].move) ? 1 : 0;
}

void hash_store(int ply, int index, std::uint64_t key, const MoveList& list, std::int32_t score, std::int32_t flag) {
    HashEntry& slot = hash_table[key & hash_mask];
    if (slot.key != kEmptySlotKey) {
        // Never give way to a weaker bound, nor to a result with less depth left.
        if (flag > slot.flag || root_depth - ply < slot.root_depth - slot.ply) return;
    }
    slot.key = key;
    slot.move = list.move[index];
    slot.score = score;
    slot.flag = flag;
    slot.ply = ply;
    slot.root_depth = root_depth;
}
