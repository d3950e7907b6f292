#pragma once

#include <QByteArray>

class QApplication;

// Sets up the application: its title, a window icon drawn from the sheet's logo.
void SetUpApplication(QApplication &app);
