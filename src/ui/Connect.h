#pragma once
// Ties a control's signal to a handler that takes the form the control belongs to; the form is
// the connection's context, so nothing runs once it is gone.
#include <QAbstractButton>
#include <QAction>
#include <QRadioButton>

template <class Form> void OnClick(Form& form, QAbstractButton* button, void (*handler)(Form&)) {
    QObject::connect(button, &QAbstractButton::clicked, &form, [&form, handler] { handler(form); });
}

template <class Form> void OnTrigger(Form& form, QAction* action, void (*handler)(Form&)) {
    QObject::connect(action, &QAction::triggered, &form, [&form, handler] { handler(form); });
}

// Check boxes run their handler on every change of state, the program's own included.
template <class Form> void OnToggle(Form& form, QAbstractButton* box, void (*handler)(Form&)) {
    QObject::connect(box, &QAbstractButton::toggled, &form, [&form, handler] { handler(form); });
}

// A radio button runs its handler when it becomes selected, whoever selects it.
template <class Form> void OnSelect(Form& form, QRadioButton* radio, void (*handler)(Form&)) {
    QObject::connect(radio, &QRadioButton::toggled, &form, [&form, handler](bool on) {
        if (on) handler(form);
    });
}
