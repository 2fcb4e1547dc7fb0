// The data-source dialog: the program's own stand-in for a driver
// manager's connection dialog (unixODBC has none).
//
// Usage: as the chooser of driverConnect, after openOdbc:
//   driverConnect(std::nullopt, runString, reporter,
//                 [](const std::string& initial) { return chooseDataSource(initial); });
// It lists the data sources (SQLDataSources) and drivers (SQLDrivers) of
// the program-wide environment; picking one puts "DSN=name;" or
// "Driver={name};" into the connection-string edit, which the user may
// complete or type freely. Double-clicking a data source connects with it
// at once; a driver only starts the string. With no data source set up, a
// hint points at the help. While the string names a file-based driver
// (SQLite), Browse... puts "Database=PATH;" into it. OK returns the edit's
// text, Cancel or the close box nullopt. Scripted sessions answer it with
// "connect STRING|cancel".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vodbc {

inline constexpr int kDataSourceDialog = 110;

// The dialog opens with `initial` in the edit (the refused string, when a
// connection is being corrected). `onHelp` runs when the user presses Help
// (the dialog stays open).
std::optional<std::string> chooseDataSource(const std::string& initial = {},
                                            const std::function<void()>& onHelp = {});

// The names SQLDataSources and SQLDrivers list for the program-wide
// environment.
std::vector<std::string> listDataSources();
std::vector<std::string> listDrivers();

}  // namespace vodbc
