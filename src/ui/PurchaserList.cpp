#include "PurchaserList.h"

#include "DialogService.h"
#include "FormBase.h"
#include "InputBehaviour.h"
#include "LateFailure.h"
#include "Twips.h"

#include "core/QelError.h"

#include <QLineEdit>
#include <QListWidget>

PurchaserList::PurchaserList(FormBase& form, QLineEdit* search, QListWidget* names, QListWidget* readings,
                             std::function<void()> found)
    : m_form(form), m_list(names, readings)
{
    for (QListWidget* list : {names, readings}) {
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    readings->setFocusPolicy(Qt::NoFocus);
    SetBackColor(names, Colors::LightGrey);
    form.Input()->onFocusIn(names, [names] { SetBackColor(names, Colors::White); });
    form.Input()->onFocusOut(names, [names] { SetBackColor(names, Colors::LightGrey); });
    QObject::connect(search, &QLineEdit::textChanged, &form, [this, search, found = std::move(found)] {
        m_list.search(search->text());
        if (found)
            found();
    });
}

int PurchaserList::fill(const std::function<KeysWithReadings()>& customers,
                        ReadingSearchList::NameReader names)
{
    KeysWithReadings entries;
    try {
        entries = customers();
    } catch (const QelError& e) {
        Dialogs().failure(m_form.formName(), e.message(), e.detail());
    }
    FormBase* form = &m_form;
    return m_list.fill(std::move(entries), std::move(names),
                       [form](const QelError& e) { ShowFailureLater(form, form->formName(), e); });
}
