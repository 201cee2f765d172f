#pragma once

#include <QTimer>

#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/theme/Typography.h"
#include "core/reads/ProjectPageData.h"

namespace norvane::app {

class ElidedLabel;
class StyledLabel;

/// The project page's "Latest Commit": the short hash, the whole message on at most two lines,
/// and the author with the time since the commit, kept current.
class LatestCommitCard : public RoundedPanel {
    Q_OBJECT
public:
    explicit LatestCommitCard(QWidget* parent = nullptr);

    void setCommit(const RecordedCommit& commit);
    /// A text style's font in the monospaced design, for commit hashes.
    static QFont monospacedFont(TextStyle style);

    QString hashText() const;
    QString messageText() const;
    /// The author and the time since the commit, as shown.
    QString bylineText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showAge();

    RecordedCommit commit_;
    StyledLabel* hash_;
    ElidedLabel* message_;
    StyledLabel* author_;
    StyledLabel* ageSeparator_;
    StyledLabel* age_;
    QTimer ticker_;
};

} // namespace norvane::app
