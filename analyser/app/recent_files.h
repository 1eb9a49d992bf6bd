#pragma once
// File > Recent Files: the last eight circuits and measurements, kept in the settings.

#include <QString>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace recent {

std::vector<std::string> files();  // newest first
void add(const std::string& path);  // made absolute

// A "Recent Files" menu inserted into `file` before `before`, filled each time it opens;
// choosing an entry calls open with its path.
QMenu* addMenu(QMenu* file, QAction* before, std::function<void(const std::string&)> open);

}  // namespace recent
