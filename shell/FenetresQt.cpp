#include "FenetresQt.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QWidget>

namespace {

// A tab page's caption is its tab's text.
std::pair<QTabWidget*, int> onglet(QObject* o) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w)
        return {nullptr, -1};
    auto* pile = qobject_cast<QStackedWidget*>(w->parentWidget());
    auto* tabs = pile ? qobject_cast<QTabWidget*>(pile->parentWidget()) : nullptr;
    return {tabs, tabs ? tabs->indexOf(w) : -1};
}

} // namespace

QList<QObject*> FenetresQt::fenetres() const {
    QList<QObject*> r;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isWindow() && w->objectName().startsWith(QLatin1String("Form_")))
            r << w;
    return r;
}

std::optional<QString> FenetresQt::caption(QObject* c) const {
    if (auto* b = qobject_cast<QAbstractButton*>(c))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(c))
        return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(c))
        return g->title();
    if (auto* m = qobject_cast<QMenu*>(c))
        return m->title();
    if (auto* a = qobject_cast<QAction*>(c))
        return a->text();
    if (auto [tabs, i] = onglet(c); tabs && i >= 0)
        return tabs->tabText(i);
    return std::nullopt;
}

void FenetresQt::setCaption(QObject* c, const QString& t) const {
    if (auto* b = qobject_cast<QAbstractButton*>(c))
        b->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(c))
        l->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(c))
        g->setTitle(t);
    else if (auto* m = qobject_cast<QMenu*>(c))
        m->setTitle(t);
    else if (auto* a = qobject_cast<QAction*>(c))
        a->setText(t);
    else if (auto [tabs, i] = onglet(c); tabs && i >= 0)
        tabs->setTabText(i, t);
}

std::optional<QString> FenetresQt::hint(QObject* c) const {
    if (auto* w = qobject_cast<QWidget*>(c))
        return w->toolTip();
    if (auto* a = qobject_cast<QAction*>(c))
        return a->toolTip() == a->text() ? QString() : a->toolTip(); // Qt shows the text when unset
    if (auto* t = qobject_cast<QSystemTrayIcon*>(c))
        return t->toolTip();
    return std::nullopt;
}

void FenetresQt::setHint(QObject* c, const QString& t) const {
    if (auto* w = qobject_cast<QWidget*>(c))
        w->setToolTip(t);
    else if (auto* a = qobject_cast<QAction*>(c))
        a->setToolTip(t);
    else if (auto* tr = qobject_cast<QSystemTrayIcon*>(c))
        tr->setToolTip(t);
}
