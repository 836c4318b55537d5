#include "platform/MessageBoxes.h"

#include <QDebug>

#include <utility>

namespace {

MessageBoxes::Presenter& presenter()
{
    static MessageBoxes::Presenter current;
    return current;
}

} // namespace

void MessageBoxes::show(QWidget* parent, const MessageBoxRequest& request)
{
    if (presenter()) {
        presenter()(parent, request);
        return;
    }
    qWarning().noquote() << request.title << ":" << request.text;
}

MessageBoxes::Presenter MessageBoxes::setPresenter(Presenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}
