#pragma once

#include <optional>

#include <QWidget>

#include "Norvane/pages/ProjectRowModel.h"
#include "core/models/ProjectInfo.h"

class QAction;
class QPushButton;
class QToolButton;

namespace norvane::app {

class CapsuleBadge;
class ElidedLabel;
class StyledLabel;

/// The top of the project page: the name with the Collect menu and the status badge, the folder
/// (a click shows it in the file manager), the newest commit's hash and subject, and the
/// description.
class ProjectHeader : public QWidget {
    Q_OBJECT
public:
    explicit ProjectHeader(QWidget* parent = nullptr);

    void setProject(const ProjectInfo& project);
    void setCommitSummary(const std::optional<CommitSummary>& summary);
    /// The whole menu is disabled while any collection runs.
    void setCollecting(bool isCollecting);

    const StyledLabel& nameLabel() const { return *name_; }
    QToolButton& collectMenu() const { return *collect_; }
    QAction& collectMetricsAction() const { return *collectMetrics_; }
    QAction& fullCollectionAction() const { return *fullCollection_; }
    const CapsuleBadge& statusBadge() const { return *status_; }
    QPushButton& pathButton() const { return *path_; }
    /// The commit line's text ("hash · subject"); empty while it is hidden.
    QString commitLineText() const;
    /// The description as shown; empty while it is hidden.
    QString descriptionText() const;

signals:
    void collectMetricsRequested();
    void fullCollectionRequested();
    void showFolderRequested();

private:
    QWidget* makeTitleRow();
    QWidget* makeCommitLine();

    StyledLabel* name_;
    QToolButton* collect_;
    QAction* collectMetrics_;
    QAction* fullCollection_;
    CapsuleBadge* status_;
    QPushButton* path_;
    QWidget* commitLine_;
    StyledLabel* commitHash_;
    ElidedLabel* commitSubject_;
    StyledLabel* description_;
};

} // namespace norvane::app
