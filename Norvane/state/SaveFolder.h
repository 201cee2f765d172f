#pragma once

#include <QString>

namespace norvane::app {

/// Where the next save dialog opens: the folder of the file the user saved last in this run of
/// the application, the home folder before the first save.
class SaveFolder {
public:
    QString folder() const;
    void remember(const QString& savedFile);

private:
    QString lastFolder_;
};

} // namespace norvane::app
