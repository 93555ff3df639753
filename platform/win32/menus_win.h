#pragma once

#include <windows.h>

#include <cstddef>

#include "platform/win32/scoped.h"
#include "ui/definition.h"

namespace lsg::win {

// Menu command identifiers: menu index and item index packed into one.
constexpr UINT kFirstCommand = 1000;
constexpr UINT commandId(std::size_t menu, std::size_t item) {
  return kFirstCommand + static_cast<UINT>(menu * 100 + item);
}

// A form's menu bar, each item with its Ctrl shortcut shown; empty without menus.
UniqueMenu buildMenu(const FormDefinition& definition);

// Ctrl+letter for every item that has a shortcut; empty when none has.
UniqueAccelerators buildAccelerators(const FormDefinition& definition);

}  // namespace lsg::win
