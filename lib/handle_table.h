#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace zelva1 {

/// @brief The objects behind the handles of one kind. A handle is a number that names its
/// kind, a slot and the slot's generation, never an address: a closed handle, one made up, or
/// one of another kind finds nothing instead of memory that was freed or an object of another
/// type. Slots are reused with the next generation, so a closed handle stays closed when its
/// slot holds a new object; a slot whose generations are used up is never used again, since its
/// next generation would be its first and bring its oldest handles back. Not guarded: the
/// library's lock serves every table.
template <typename Object>
class HandleTable {
public:
    static constexpr std::uintptr_t kSlotBits = 12;
    static constexpr std::uintptr_t kMaxSlots = (std::uintptr_t{1} << kSlotBits) - 1;
    // Within 32 bits, as a handle of a 32-bit build must be: slot, generation, then the kind.
    static constexpr std::uintptr_t kKindBits = 4;
    static constexpr std::uintptr_t kGenerationBits = 32 - kSlotBits - kKindBits;
    static constexpr std::uintptr_t kMaxKind = (std::uintptr_t{1} << kKindBits) - 1;

    /// `kind` (1..kMaxKind) tells the handles of this table from every other table's.
    explicit HandleTable(std::uintptr_t kind) : kind_(kind << (kSlotBits + kGenerationBits)) {}

    /// @brief Keeps `object` and returns its handle; 0 when every slot is taken.
    [[nodiscard]] std::uintptr_t add(std::shared_ptr<Object> object) {
        std::size_t slot = firstFreeSlot();
        if (slot == slots_.size()) {
            if (slots_.size() >= kMaxSlots)
                return 0;
            slots_.emplace_back();
        }
        Slot& entry = slots_[slot];
        entry.object = std::move(object);
        return kind_ | (entry.generation << kSlotBits) | (slot + 1);
    }

    /// @brief The object of a handle; null when the handle is closed or was never given.
    [[nodiscard]] Object* find(std::uintptr_t handle) const {
        const std::size_t slot = slotOf(handle);
        return slot < slots_.size() ? slots_[slot].object.get() : nullptr;
    }

    [[nodiscard]] std::shared_ptr<Object> share(std::uintptr_t handle) const {
        const std::size_t slot = slotOf(handle);
        return slot < slots_.size() ? slots_[slot].object : nullptr;
    }

    /// @brief Takes the object out; the handle is closed from now on. False when it was not open.
    bool remove(std::uintptr_t handle) {
        const std::size_t slot = slotOf(handle);
        if (slot == slots_.size())
            return false;
        retire(slots_[slot]);
        return true;
    }

    /// @brief Takes out every object `picked` chooses; their handles are closed from now on.
    template <typename Pick>
    std::vector<std::shared_ptr<Object>> removeIf(Pick picked) {
        std::vector<std::shared_ptr<Object>> taken;
        for (Slot& entry : slots_) {
            if (entry.object == nullptr || !picked(*entry.object))
                continue;
            taken.push_back(std::move(entry.object));
            retire(entry);
        }
        return taken;
    }

    /// @brief Calls `visit` with every object kept.
    template <typename Visit>
    void forEach(Visit visit) const {
        for (const Slot& entry : slots_)
            if (entry.object != nullptr)
                visit(*entry.object);
    }

private:
    static constexpr std::uintptr_t kMaxGeneration = (std::uintptr_t{1} << kGenerationBits) - 1;

    struct Slot {
        std::shared_ptr<Object> object;
        std::uintptr_t generation = 1; // kMaxGeneration + 1 once the slot is used up
    };

    static void retire(Slot& entry) {
        entry.object.reset();
        ++entry.generation;
    }

    [[nodiscard]] std::size_t firstFreeSlot() const {
        std::size_t slot = 0;
        while (slot < slots_.size() &&
               (slots_[slot].object != nullptr || slots_[slot].generation > kMaxGeneration))
            ++slot;
        return slot;
    }

    /// The slot an open handle names; slots_.size() for any other.
    [[nodiscard]] std::size_t slotOf(std::uintptr_t handle) const {
        const std::uintptr_t slot = handle & kMaxSlots;
        if (slot == 0 || slot > slots_.size())
            return slots_.size();
        const Slot& entry = slots_[slot - 1];
        if (entry.object == nullptr ||
            (handle >> kSlotBits) != (kind_ >> kSlotBits | entry.generation))
            return slots_.size();
        return slot - 1;
    }

    std::uintptr_t kind_;
    std::vector<Slot> slots_;
};

} // namespace zelva1
