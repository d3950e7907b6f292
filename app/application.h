#pragma once

#include <QByteArray>

class QApplication;

// Reads the embedded sprite sheet (resource LOGO).
QByteArray EmbeddedSheet();

// Sets up the application: its title, a window icon drawn from the sheet's logo.
void SetUpApplication(QApplication &app);
