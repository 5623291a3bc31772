// The "Плата" page's own wiring: the list of the board's files with a role box each. The list
// only shows and edits the roles; the core reads the board from the page's boxes.
#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>
#include <utility>

#include "board/board.h"
#include "form1.h"
#include "session/board_job.h"
#include "session/session.h"
#include "ui_Form1.h"

namespace zor {
namespace {

constexpr BoardRole kRoles[] = {BoardRole::kTop, BoardRole::kBottom, BoardRole::kOutline,
                                BoardRole::kDrill, BoardRole::kIgnored};
constexpr int kRowHeight = 20;

// Runs `then` however the handler before it ends, a refused board included.
template <typename F>
class Finally {
 public:
  explicit Finally(F then) : then_(std::move(then)) {}
  ~Finally() { then_(); }
  Finally(const Finally&) = delete;
  Finally& operator=(const Finally&) = delete;

 private:
  F then_;
};

}  // namespace

void TForm1::attach_board_page(Session& session) {
  Session* const s = &session;
  QHeaderView* header = ui_->SG_board_files->horizontalHeader();
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  header->setSectionResizeMode(1, QHeaderView::Fixed);
  header->resizeSection(1, 84);
  ui_->SG_board_files->verticalHeader()->setDefaultSectionSize(kRowHeight);
  connect(ui_->B_board_open, &QAbstractButton::clicked, this, [this, s] {
    const Finally refill([this, s] { fill_board_files(*s); });
    s->change_nameClick();
  });
  connect(ui_->B_board_view, &QAbstractButton::clicked, this, [s] { s->Call_V_renderClick(); });
  connect(ui_->CB_board_side, &QComboBox::activated, this, [s] { s->Call_V_renderClick(); });
  connect(ui_->CB_board_pins, &QAbstractButton::clicked, this, [s] { s->Call_V_renderClick(); });
}

void TForm1::fill_board_files(Session& session) {
  QTableWidget* list = ui_->SG_board_files;
  list->setRowCount(0);
  std::vector<BoardLayerFile> files;
  try {
    files = board_roles(read_board_files(ui_->E_board->text().toStdString()),
                        roles_from_text(ui_->E_board_roles->text().toStdString()));
  } catch (const std::exception&) {
    return;  // the board's handler told why
  }
  list->setRowCount(static_cast<int>(files.size()));
  Session* const s = &session;
  for (int row = 0; row < list->rowCount(); ++row) {
    const BoardLayerFile& file = files[static_cast<size_t>(row)];
    auto* name = new QTableWidgetItem(QString::fromStdString(file.name));
    name->setFlags(Qt::ItemIsEnabled);
    name->setToolTip(name->text());
    list->setItem(row, 0, name);
    auto* role = new QComboBox(list);
    for (BoardRole r : kRoles) role->addItem(QString::fromUtf8(role_title(r)), static_cast<int>(r));
    role->setCurrentIndex(static_cast<int>(file.role));
    list->setCellWidget(row, 1, role);
    connect(role, &QComboBox::activated, this, [this, s] {
      // Every row's role is kept: a file that was found right stays so when another changes.
      std::map<std::string, BoardRole> chosen;
      QTableWidget* rows = ui_->SG_board_files;
      for (int k = 0; k < rows->rowCount(); ++k) {
        const auto* box = qobject_cast<QComboBox*>(rows->cellWidget(k, 1));
        chosen[rows->item(k, 0)->text().toStdString()] =
            static_cast<BoardRole>(box->currentData().toInt());
      }
      ui_->E_board_roles->setText(QString::fromStdString(roles_text(chosen)));
      s->Call_V_renderClick();
    });
  }
}

}  // namespace zor
