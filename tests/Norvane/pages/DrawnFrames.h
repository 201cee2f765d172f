#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/NumberText.h"

namespace norvane::app::testing {

/// A text a page shows, the widget that shows it and where.
struct FoldText {
    QPointer<const QWidget> widget;
    QPoint place;
    QString text;
    friend bool operator==(const FoldText& one, const FoldText& other) {
        return one.widget.data() == other.widget.data() && one.place == other.place && one.text == other.text;
    }
};

/// What a page shows in the reach that a test looks at: where each of its rows stands, every text
/// in that reach, and those of them that are cut. No rows while the page's rows are not drawn.
struct Fold {
    std::vector<QRect> rects;
    std::vector<FoldText> texts;
    QStringList cut;
    friend bool operator==(const Fold&, const Fold&) = default;

    /// Where `widget` stands on `page`, with no size while it is hidden.
    void place(const QWidget& page, const QWidget& widget) {
        rects.emplace_back(widget.mapTo(&page, QPoint()), widget.isVisible() ? widget.size() : QSize());
    }

    /// Every text shown inside `holder` above `bottom` on `page`.
    void read(const QWidget& page, const QWidget& holder, int bottom) {
        for (const QWidget* widget : holder.findChildren<QWidget*>()) {
            if (!widget->isVisible() || widget->mapTo(&page, QPoint()).y() >= bottom) continue;
            const auto* label = qobject_cast<const QLabel*>(widget);
            const auto* glow = qobject_cast<const GlowText*>(widget);
            const QString text = label ? label->text() : glow ? glow->text() : QString();
            if (text.isEmpty()) continue;
            texts.push_back({widget, widget->mapTo(&page, QPoint()), text});
            if (isCut(*widget)) cut << text;
        }
    }

    /// A text drawn in less room than it takes, or out of the room its parent gives it.
    static bool isCut(const QWidget& widget) {
        const auto* label = qobject_cast<const QLabel*>(&widget);
        const bool wraps = label && label->wordWrap();
        // A text that wraps takes the height of its lines at the width it has.
        const QSize needed = widget.sizeHint();
        const int height = wraps ? label->heightForWidth(widget.width()) : needed.height();
        return (!wraps && widget.width() < needed.width()) || widget.height() < height ||
               !widget.parentWidget()->rect().contains(widget.geometry());
    }
};

/// The fold each time a window draws its page with its rows, and each time it could: a window
/// system may draw the page between any two of the events that the page waits for, before a layout
/// it has asked for catches up or a widget added to a shown layout is shown (a turn later).
class DrawnFrames : public QObject {
public:
    DrawnFrames(const QWidget& window, std::function<Fold()> fold) : window_(window), fold_(std::move(fold)) {
        qApp->installEventFilter(this);
    }
    ~DrawnFrames() override { qApp->removeEventFilter(this); }
    std::vector<Fold> frames;
    /// A frame was drawn without the page's rows: its cards came later.
    bool drawnWithoutRows = false;
    /// Texts cut in some frame, drawn or that could have been.
    QStringList cut;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* widget = qobject_cast<QWidget*>(watched);
        const auto type = event->type();
        const bool drawn = type == QEvent::Paint || type == QEvent::LayoutRequest || type == QEvent::MetaCall;
        if (drawn && widget && widget->window() == &window_) {
            const Fold now = fold_();
            for (const auto& text : now.cut) {
                if (!cut.contains(text)) cut << text;
            }
            drawnWithoutRows = drawnWithoutRows || now.rects.empty();
            if (!now.rects.empty() && (frames.empty() || !(frames.back() == now))) frames.push_back(now);
        }
        return false;
    }

private:
    const QWidget& window_;
    std::function<Fold()> fold_;
};

/// Each text of a frame that the settled frame does not show as it is and where it is, "--"
/// standing for a figure still to come. A text made anew counts as shown where the same text
/// stands in its place.
inline QStringList unsettledTexts(const Fold& frame, const Fold& settled) {
    QStringList unsettled;
    for (const auto& shown : frame.texts) {
        const auto later = std::find_if(settled.texts.begin(), settled.texts.end(), [&](const FoldText& text) {
            return shown.widget ? text.widget == shown.widget : text.place == shown.place && text.text == shown.text;
        });
        if (later == settled.texts.end()) {
            unsettled << shown.text + " (gone)";
        } else if (later->text != shown.text && shown.text != QLatin1String(noValueText)) {
            unsettled << shown.text + " -> " + later->text;
        } else if (later->text == shown.text && later->place != shown.place) {
            unsettled << shown.text + " (elsewhere)";
        }
    }
    return unsettled;
}

/// Each settled text that an earlier frame showed in its place and `frame` does not: a text once
/// drawn as it settles stays.
inline QStringList vanishedTexts(const Fold& earlier, const Fold& frame, const Fold& settled) {
    const auto shows = [](const Fold& fold, const FoldText& text) {
        return std::any_of(fold.texts.begin(), fold.texts.end(),
                           [&](const FoldText& shown) { return shown.place == text.place && shown.text == text.text; });
    };
    QStringList vanished;
    for (const auto& text : settled.texts) {
        if (shows(earlier, text) && !shows(frame, text)) vanished << text.text;
    }
    return vanished;
}

/// The rows a frame draws elsewhere than the settled frame, each as "row N: where -> where"; rows
/// the frame does not draw yet may come later, below what is drawn.
inline QStringList movedRows(const Fold& frame, const Fold& settled) {
    QStringList moved;
    const auto text = [](const QRect& rect) {
        return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
    };
    for (std::size_t row = 0; row < frame.rects.size(); ++row) {
        const QRect& drawn = frame.rects[row];
        const QRect later = row < settled.rects.size() ? settled.rects[row] : QRect();
        if (!drawn.isEmpty() && drawn != later)
            moved << QStringLiteral("row %1: %2 -> %3").arg(row).arg(text(drawn), text(later));
    }
    return moved;
}

/// Expects every drawn frame to show the settled texts (or "--" for one to come) where the settled
/// frame shows them, none of them to go once drawn, and no text ever cut.
inline void expectEveryFrameSettled(const DrawnFrames& drawn, const Fold& settled) {
    for (std::size_t frame = 0; frame < drawn.frames.size(); ++frame) {
        EXPECT_EQ(unsettledTexts(drawn.frames[frame], settled).join(", ").toStdString(), "") << "frame " << frame;
        if (frame > 0) {
            EXPECT_EQ(vanishedTexts(drawn.frames[frame - 1], drawn.frames[frame], settled).join(", ").toStdString(), "")
                << "frame " << frame << ": nothing drawn goes and comes back";
        }
        EXPECT_EQ(movedRows(drawn.frames[frame], settled).join(", ").toStdString(), "")
            << "frame " << frame << ": nothing drawn moves";
    }
    EXPECT_EQ(drawn.cut.join(", ").toStdString(), "") << "no text is ever cut";
}

/// The fold once the page has taken everything in: a page takes new figures over a few turns of
/// the event loop (layouts, cards shown a turn after they are made), so it has settled when a
/// turn changes nothing.
inline bool settles(const std::function<Fold()>& fold) {
    return QTest::qWaitFor([&] {
        const Fold before = fold();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return fold() == before;
    });
}

} // namespace norvane::app::testing
