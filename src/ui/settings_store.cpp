#include "ui/settings_store.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <QtEndian>

namespace {

const char* const kSection = "2.0/Settings";
const char* const kPlacementSection = "2.0/Settings/WindowPlacement";

struct IntSetting {
    const char* key;
    std::int32_t CAppSettings::*field;
};

// In the order the settings are read and written.
const IntSetting kSettings[] = {
    {"Alignment", &CAppSettings::alignment},
    {"Background", &CAppSettings::background},
    {"Custom Background", &CAppSettings::customBackground},
    {"Show Image Bounding Box", &CAppSettings::showBoundingBox},
    {"Display Quick Info", &CAppSettings::displayQuickInfo},
    {"Animated Cursor Sequence", &CAppSettings::animatedCursorSequence},
    {"PSD Import Dialog Selection", &CAppSettings::psdImportSelection},
    {"Resize Resampling", &CAppSettings::resizeResampling},
    {"SVG Size", &CAppSettings::svgSize},
};

// The screen whose geometry holds `point`, else the one nearest to it.
QScreen* NearestScreen(const QPoint& point) {
    if (QScreen* screen = QGuiApplication::screenAt(point)) return screen;
    QScreen* nearest = QGuiApplication::primaryScreen();
    qint64 best = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        const qint64 dx = point.x() < g.left() ? g.left() - point.x()
                          : point.x() > g.right() ? point.x() - g.right() : 0;
        const qint64 dy = point.y() < g.top() ? g.top() - point.y()
                          : point.y() > g.bottom() ? point.y() - g.bottom() : 0;
        const qint64 distance = dx * dx + dy * dy;
        if (best < 0 || distance < best) {
            best = distance;
            nearest = screen;
        }
    }
    return nearest;
}

}  // namespace

QSettings& SettingsStore() {
    static QSettings store(QStringLiteral("Korvath"), QStringLiteral("Iconmill"));
    return store;
}

CAppSettings ReadSettings(QSettings& store) {
    CAppSettings settings;
    store.beginGroup(kSection);
    for (const IntSetting& s : kSettings) {
        bool ok = false;
        const int value = store.value(s.key, settings.*s.field).toInt(&ok);
        if (ok) settings.*s.field = value;
    }
    store.endGroup();
    return settings;
}

void WriteSettings(QSettings& store, const CAppSettings& settings) {
    store.beginGroup(kSection);
    for (const IntSetting& s : kSettings) store.setValue(s.key, settings.*s.field);
    store.endGroup();
    store.sync();
}

std::optional<WindowPlacement> ReadPlacement(QSettings& store) {
    store.beginGroup(kPlacementSection);
    const QByteArray rect = store.value("MainWindowRect").toByteArray();
    const int showCmd = store.value("ShowCmd", 1).toInt();
    store.endGroup();
    if (rect.size() != 16) return std::nullopt;
    std::int32_t edges[4];
    for (int i = 0; i < 4; ++i) edges[i] = qFromLittleEndian<std::int32_t>(rect.constData() + 4 * i);
    WindowPlacement placement;
    placement.rect = QRect(QPoint(edges[0], edges[1]), QPoint(edges[2] - 1, edges[3] - 1));
    placement.maximized = showCmd == 3;
    return placement;
}

void WritePlacement(QSettings& store, const WindowPlacement& placement) {
    const QRect& r = placement.rect;
    const std::int32_t edges[4] = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    QByteArray rect(16, '\0');
    for (int i = 0; i < 4; ++i) qToLittleEndian(edges[i], rect.data() + 4 * i);
    store.beginGroup(kPlacementSection);
    store.setValue("MainWindowRect", rect);
    store.setValue("Flags", 0);
    store.setValue("ShowCmd", placement.maximized ? 3 : 1);
    store.endGroup();
    store.sync();
}

void ReadToolbarState(QSettings& store, CViewState* view) {
    store.beginGroup("2.0/Dock State");
    view->standardToolbar = store.value("Standard", true).toBool();
    view->imageEditorToolbar = store.value("Image Editor", true).toBool();
    view->typeToolbar = store.value("Type", true).toBool();
    store.endGroup();
}

void WriteToolbarState(QSettings& store, const CViewState& view) {
    store.beginGroup("2.0/Dock State");
    store.setValue("Standard", view.standardToolbar);
    store.setValue("Image Editor", view.imageEditorToolbar);
    store.setValue("Type", view.typeToolbar);
    store.endGroup();
    store.sync();
}

std::vector<std::string> ReadRecentFiles(QSettings& store) {
    std::vector<std::string> paths;
    store.beginGroup("2.0/Recent File List");
    for (std::size_t i = 1; i <= kRecentFileCount; ++i) {
        const QString path = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) paths.push_back(path.toStdString());
    }
    store.endGroup();
    return paths;
}

void WriteRecentFiles(QSettings& store, const std::vector<std::string>& paths) {
    store.remove("2.0/Recent File List");
    store.beginGroup("2.0/Recent File List");
    for (std::size_t i = 0; i < paths.size(); ++i)
        store.setValue(QStringLiteral("File%1").arg(i + 1), QString::fromStdString(paths[i]));
    store.endGroup();
    store.sync();
}

bool RestorePlacement(QWidget& window, const WindowPlacement& placement) {
    const QScreen* screen = NearestScreen(placement.rect.topLeft());
    if (screen) {
        const QRect visible = placement.rect.intersected(screen->availableGeometry());
        if (!visible.isEmpty()) {
            window.move(visible.topLeft());
            window.resize(placement.rect.size());
        }
    }
    return placement.maximized;
}

WindowPlacement PlacementOf(const QWidget& window) {
    WindowPlacement placement;
    placement.rect = window.isMaximized() || window.isMinimized() ? window.normalGeometry()
                                                                  : window.geometry();
    placement.maximized = window.isMaximized();
    return placement;
}
