#include "platform/win32/menus_win.h"

#include <string>
#include <vector>

#include "platform/win32/text.h"

namespace lsg::win {

UniqueMenu buildMenu(const FormDefinition& definition) {
  if (definition.menus.empty()) return {};
  UniqueMenu bar(CreateMenu());
  for (std::size_t m = 0; m < definition.menus.size(); ++m) {
    HMENU popup = CreatePopupMenu();
    const Menu& menu = definition.menus[m];
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
      const MenuItem& item = menu.items[i];
      if (item.caption.empty()) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      std::string text = item.caption;
      if (item.shortcut) text += std::string("\tCtrl+") + item.shortcut;
      AppendMenuW(popup, MF_STRING, commandId(m, i), widen(text).c_str());
    }
    AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                widen(menu.caption).c_str());
  }
  return bar;
}

UniqueAccelerators buildAccelerators(const FormDefinition& definition) {
  std::vector<ACCEL> table;
  for (std::size_t m = 0; m < definition.menus.size(); ++m) {
    for (std::size_t i = 0; i < definition.menus[m].items.size(); ++i) {
      const char key = definition.menus[m].items[i].shortcut;
      if (!key) continue;
      table.push_back({FVIRTKEY | FCONTROL | FNOINVERT, static_cast<WORD>(key),
                       static_cast<WORD>(commandId(m, i))});
    }
  }
  if (table.empty()) return {};
  return UniqueAccelerators(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

}  // namespace lsg::win
