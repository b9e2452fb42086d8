#pragma once

#include <QObject>

namespace qt {

// Loads Qt's own Spanish texts, so standard buttons and dialogs read "Aceptar", "Cancelar".
// The translator lives as long as `owner`. False when the translations are not installed.
bool installSpanishTranslations(QObject& owner);

}  // namespace qt
