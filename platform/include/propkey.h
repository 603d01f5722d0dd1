// Property keys of the shell's property system.
#pragma once

#include "propsys.h"

// System.AppUserModel.ID
inline constexpr PROPERTYKEY PKEY_AppUserModel_ID = {
    {0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}}, 5};
// System.AppUserModel.RelaunchCommand
inline constexpr PROPERTYKEY PKEY_AppUserModel_RelaunchCommand = {
    {0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}}, 2};
