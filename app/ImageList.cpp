#include "app/ImageList.h"

#include <QPainter>
#include <QSvgRenderer>
#include <array>

// Resources of a static library are registered by hand.
static void RegisterResources() {
    Q_INIT_RESOURCE(resources);
}

namespace ImageList {
namespace {

constexpr std::array<const char*, 20> kFiles = {
    "parameter-set",   "store",        "monitoring",
    "trigger",         "program-down", "error-display",
    "com-port-setup",  "cut",          "copy",
    "paste",           "cascade",      "tile-horizontally",
    "tile-vertically", "minimize-all", "arrange-all",
    "about",           "help",         "application",
    "offline",         "online",
};

QPixmap Render(const QString& resource, const QSize& size) {
    static const bool registered = (RegisterResources(), true);
    (void)registered;
    QSvgRenderer renderer(resource);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

}  // namespace

QIcon Icon(int image) {
    if (image < 0 || image >= static_cast<int>(kFiles.size())) return {};
    const QString resource = QString(":/icons/%1.svg").arg(kFiles[image]);
    QIcon icon;
    for (int side : {16, 24, 32, 48}) icon.addPixmap(Render(resource, QSize(side, side)));
    return icon;
}

QPixmap Splash(const QSize& size) {
    return Render(":/splash.svg", size);
}

}  // namespace ImageList
