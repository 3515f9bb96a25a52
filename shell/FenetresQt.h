// How the translation sees Qt windows: our top-level "Form_" windows, their named children, and
// each control's visible text (Caption) and tool-tip (Hint).
#pragma once

#include "ULangage.h"

class FenetresQt final : public IFenetres {
public:
    QList<QObject*> fenetres() const override;
    std::optional<QString> caption(QObject* composant) const override;
    void setCaption(QObject* composant, const QString& texte) const override;
    std::optional<QString> hint(QObject* composant) const override;
    void setHint(QObject* composant, const QString& texte) const override;
};
