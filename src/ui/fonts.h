// The font of the list view (8 points) and the quick-info tip (9 points).
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The family among those installed: "Segoe UI", else "Tahoma", else "MS Sans
// Serif"; empty when none is (the platform's default sans-serif is meant).
QString ChooseFontFamily(const QStringList& installedFamilies);

// A font of `points` points, normal weight, in the family above (the platform's
// general font's family when none is installed).
QFont MakeUiFont(int points);
