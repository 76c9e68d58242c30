#pragma once

#include <QtGlobal>

#include <atomic>

namespace vantrel {

// A read-only shared mapping of a whole file that survives the file being
// cut short while it is mapped. Reading a mapped page past the new end of a
// file raises SIGBUS; a process-wide handler, installed on first use, puts
// zero pages in place of the missing part of the mapping and marks it, so the
// read goes on with zero bytes instead of killing the program. Faults at any
// other address go on to the handler that was there before (or the default
// action), so other code keeps its behaviour.
//
// At most kMaxMappings guarded mappings exist at once; beyond that a mapping
// is refused (isValid() false).
class GuardedMapping {
public:
    static constexpr int kMaxMappings = 64;

    // Maps `size` bytes of `fd` from offset 0; size must be > 0.
    GuardedMapping(int fd, qint64 size);
    ~GuardedMapping();
    GuardedMapping(const GuardedMapping&) = delete;
    GuardedMapping& operator=(const GuardedMapping&) = delete;

    [[nodiscard]] bool isValid() const { return m_data != nullptr; }
    [[nodiscard]] const uchar* data() const { return m_data; }
    [[nodiscard]] qint64 size() const { return m_size; }
    // True once a read found part of the file missing.
    [[nodiscard]] bool faulted() const;

private:
    const uchar* m_data = nullptr;
    qint64 m_size = 0;
    int m_slot = -1;
};

}  // namespace vantrel
