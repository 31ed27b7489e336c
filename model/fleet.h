// The built-in generating fleet: ten unit types, eleven identical blocks.
#ifndef ADEQUACY_MODEL_FLEET_H_
#define ADEQUACY_MODEL_FLEET_H_

#include <array>
#include <cstdint>

namespace adequacy {

struct UnitType {
  int32_t capacity_mw;
  float forced_outage_rate;
  float mean_repair_days;
};

inline constexpr int kUnitTypes = 10;
inline constexpr int kUnitBlocks = 11;
inline constexpr int kUnits = kUnitTypes * kUnitBlocks;
inline constexpr int32_t kBlockCapacity = 973;
inline constexpr int32_t kInstalledCapacity = kBlockCapacity * kUnitBlocks;

// The ten unit types in convolution order; the order also fixes the order
// of the types within every unit block.
extern const std::array<UnitType, kUnitTypes> kUnitTypeTable;

// Unit u (0-based) has type u mod 10 (0-based): units 0..9 are block 1.
inline constexpr int TypeOfUnit(int unit) { return unit % kUnitTypes; }

inline const UnitType& UnitTypeOf(int unit) {
  return kUnitTypeTable[TypeOfUnit(unit)];
}

}  // namespace adequacy

#endif  // ADEQUACY_MODEL_FLEET_H_
