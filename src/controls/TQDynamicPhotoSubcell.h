#pragma once

#include "controls/TQButtonCell.h"
#include "controls/TQHoverableCell.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/MessageNames.h"

#include <memory>

namespace tavrel {

class ValueTransformer;

// The small square picture that big rows line up as action subcells and document rows use for the
// people an item is shared with. Its image is given, or comes from its object through a transformer (a
// person's photo) each time the object is set: a list sets it whenever it configures the row, so a
// changed record shows when its row redraws. Resting on it shows a floating name label; a click never
// selects the row.
//
// Ready-made actions for the lists: open the document (executeFileAction), toggle the quick permission
// popover for the person (showQuickDialogAction), ask for the person's page (showEmailProfileAction).
class TQDynamicPhotoSubcell : public TQButtonCell, public TQHoverableCell
{
    TAVREL_CELL(TQDynamicPhotoSubcell)
public:
    static inline const Timing kLabelDelay{"photoLabelDelay", 350};
    static inline const Timing kProfileDelay{"photoProfileDelay", 100};
    static inline const QString kTQShowEmailProfileNotification = Notifications::showEmailProfile;

    TQDynamicPhotoSubcell();
    TQDynamicPhotoSubcell(const TQDynamicPhotoSubcell& other);
    TQDynamicPhotoSubcell& operator=(const TQDynamicPhotoSubcell&) = delete;
    ~TQDynamicPhotoSubcell() override;
    static std::shared_ptr<TQDynamicPhotoSubcell> cell() { return std::make_shared<TQDynamicPhotoSubcell>(); }

    std::shared_ptr<ValueTransformer> transformer() const { return m_transformer; }
    void setTransformer(std::shared_ptr<ValueTransformer> transformer)
    {
        m_transformer = std::move(transformer);
    }
    // Represents the object and makes the image from it (also when it is the same object).
    void setObject(const QVariant& object);
    bool hasLink() const { return m_hasLink; }
    void setHasLink(bool hasLink) { m_hasLink = hasLink; }
    QString labelKeyPath() const { return m_labelKeyPath; }
    void setLabelKeyPath(const QString& keyPath) { m_labelKeyPath = keyPath; }
    QVariant accompanyObject() const { return m_accompanyObject; }
    void setAccompanyObject(const QVariant& object) { m_accompanyObject = object; }
    bool pressInShadow() const { return m_pressInShadow; }
    void setPressInShadow(bool press) { m_pressInShadow = press; }
    bool hasRoundCorners() const { return m_hasRoundCorners; }
    void setHasRoundCorners(bool round) { m_hasRoundCorners = round; }

    bool hovered() const override { return isHovered(); }
    // On a change: the cursor of a link, and the label after a rest (or its end).
    void setHovered(bool hovered) override;
    // A double click with an action runs the double action on the subcell and hits nothing; any
    // other click is tracked and keeps the row unselected.
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

    // The anchor of the label and the popover: the middle of the top edge of the last frame.
    QPointF labelAnchor() const;
    void showLabelAt(const QPointF& point);
    // The represented object is a document: open it.
    void executeFile();
    // The represented object is a person's mail record: open or close the quick permission popover.
    void showQuickDialog();
    // Ask for the person's page, a moment later.
    void showEmailProfile();
    void performShowEmailProfile();

    static Action executeFileAction();
    static Action showQuickDialogAction();
    static Action showEmailProfileAction();

private:
    void reloadImage();
    QString labelText() const;

    std::shared_ptr<ValueTransformer> m_transformer;
    bool m_hasLink = false;
    QString m_labelKeyPath;
    QVariant m_accompanyObject;
    bool m_pressInShadow = false;
    bool m_hasRoundCorners = true;
};

} // namespace tavrel
