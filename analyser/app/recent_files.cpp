#include "analyser/app/recent_files.h"

#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStringList>

#include "analyser/core/edit_values.h"

namespace recent {

namespace {

constexpr const char* kKey = "recentFiles";

QSettings settings() { return QSettings("ladderbench", "Sorvel"); }

}  // namespace

std::vector<std::string> files()
{
    std::vector<std::string> out;
    for (const QString& f : settings().value(kKey).toStringList())
        out.push_back(f.toStdString());
    return out;
}

void add(const std::string& path)
{
    const std::string full = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    QStringList list;
    for (const std::string& f : withRecentFile(files(), full))
        list << QString::fromStdString(f);
    settings().setValue(kKey, list);
}

QMenu* addMenu(QMenu* file, QAction* before, std::function<void(const std::string&)> open)
{
    auto* menu = new QMenu("Recent &Files", file);
    menu->setObjectName("RecentFiles1");
    file->insertMenu(before, menu);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, open] {
        menu->clear();
        int n = 0;
        for (const std::string& f : files()) {
            const QString path = QString::fromStdString(f);
            QAction* a = menu->addAction(QString("&%1 %2").arg(++n).arg(QFileInfo(path).fileName()));
            a->setToolTip(path);
            a->setData(path);
            QObject::connect(a, &QAction::triggered, menu, [open, f] { open(f); });
        }
        if (n == 0)
            menu->addAction("(none)")->setEnabled(false);
    });
    return menu;
}

}  // namespace recent
