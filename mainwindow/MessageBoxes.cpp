#include "MessageBoxes.h"

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
    QMessageBox box(request.icon, request.title, request.text, QMessageBox::Ok, parent);
    box.exec();
}

MessageBoxes::Presenter MessageBoxes::setPresenter(Presenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}
