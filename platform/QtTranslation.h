#pragma once
// Qt's own dialogs and menus (the printer selection, an editor's context menu) in the user's language:
// Qt's translation for the locale, from the folder where Qt keeps its translations.

class QLocale;
class QTranslator;

namespace vx {

// Installs Qt's translation for the locale into the running application: its base catalogue, or the
// combined one where only that exists. Returns the installed translator, owned by the application, or
// nullptr when there is no translation for the locale; Qt's texts then stay as they are.
QTranslator* installQtTranslation(const QLocale& locale);

} // namespace vx
