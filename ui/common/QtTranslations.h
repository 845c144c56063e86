#pragma once

namespace ui {

/// @brief Makes Qt's own texts Russian (the buttons of the standard boxes, the file
/// dialogs, the context menus of text fields), whatever the system's language. The
/// catalogue is built into the program; the application object must exist.
/// @return false when the catalogue could not be loaded; Qt's texts then stay English.
bool installQtTranslations();

} // namespace ui
