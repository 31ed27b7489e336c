#include "model/fleet.h"

namespace adequacy {

const std::array<UnitType, kUnitTypes> kUnitTypeTable = {{
    {5, 0.15f, 5.0f},
    {10, 0.10f, 5.0f},
    {13, 0.09f, 5.0f},
    {22, 0.07f, 7.0f},
    {43, 0.06f, 7.0f},
    {57, 0.05f, 14.0f},
    {101, 0.04f, 21.0f},
    {198, 0.04f, 28.0f},
    {248, 0.04f, 28.0f},
    {276, 0.04f, 42.0f},
}};

}  // namespace adequacy
