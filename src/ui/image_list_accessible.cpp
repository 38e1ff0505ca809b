// The list view to assistive technology: a list whose children are the cells,
// each named by its caption, with its selected state, selectable through the
// toggle action.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <map>

#include "ui/image_list_view.h"

namespace {

class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellAccessible(CImageListView* view, int index) : view_(view), index_(index) {}

    bool isValid() const override {
        return view_ && index_ < view_->Layout().count && !view_->CaptionText(index_).isEmpty();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return view_ && view_->window() ? view_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!view_) return {};
        if (t == QAccessible::Name) return view_->CaptionText(index_);
        if (t == QAccessible::Description) return view_->QuickInfo(index_);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!view_) return {};
        const QRect cell = view_->CellOnScreen(index_);
        return QRect(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!view_) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.multiSelectable = true;
        s.focusable = true;
        s.selected = view_->IsItemSelected(index_);
        s.focused = view_->hasFocus() && view_->CurrentItem() == index_;
        if (!view_->viewport()->rect().intersects(view_->CellOnScreen(index_))) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    // QAccessibleActionInterface
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        if (view_ && name == toggleAction())
            view_->SetItemSelected(index_, !view_->IsItemSelected(index_));
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int Index() const { return index_; }

private:
    QPointer<CImageListView> view_;
    int index_;
};

class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(CImageListView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ListAccessible() override {
        for (const auto& [index, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return View()->Layout().count; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        const auto found = cells_.find(index);
        if (found != cells_.end()) return QAccessible::accessibleInterface(found->second);
        auto* cell = new CellAccessible(View(), index);
        cells_[index] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        return cell && cell->Index() < childCount() ? cell->Index() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        CImageListView* view = View();
        const QPoint p = view->viewport()->mapFromGlobal(QPoint(x, y));
        const int index = HitTestItem(view->Layout(), p.x(), p.y(), view->horizontalScrollBar()->value(),
                                      view->verticalScrollBar()->value());
        return index >= 0 ? child(index) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const int current = View()->CurrentItem();
        return View()->hasFocus() && current >= 0 ? child(current) : nullptr;
    }

private:
    CImageListView* View() const { return static_cast<CImageListView*>(widget()); }

    mutable std::map<int, QAccessible::Id> cells_;
};

QAccessibleInterface* ImageListFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CImageListView") && object && object->isWidgetType())
        return new ListAccessible(static_cast<CImageListView*>(object));
    return nullptr;
}

}  // namespace

void InstallImageListAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ImageListFactory);
        return true;
    }();
    (void)installed;
}
