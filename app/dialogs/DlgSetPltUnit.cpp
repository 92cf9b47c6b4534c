#include "app/dialogs/DlgSetPltUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/text/CodeText.h"
#include "model/Settings.h"
#include "widgets/EventGuard.h"

CDlgSetPltUnit::CDlgSetPltUnit(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("PLT文件单位"));
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(tr("绘图单位 "), this);
    m_unit = new QComboBox(this);
    m_unit->setEditable(false);
    // Both spellings sort 0.0250 before 0.0254: the index is the unit code.
    m_unit->addItem(CodeText("0.0250mm(常规)", "0.0250mm"));
    m_unit->addItem(CodeText("0.0254mm(专用)", "0.0254mm"));
    label->setBuddy(m_unit);
    m_noHint = new QCheckBox(tr("下次打开plt时不弹出此对话框"), this);
    auto* hint = new QLabel(tr("提示:\n    对于大多数CAD软件输出的plt, 1个数据单位代表0.0250mm, 这里应该选择“0.0250mm(常规)” "
                               "但某些软件(如格博)输出的plt, 1个数据单位代表1mil(即0.0254mm), 这里应该选择“0.0254mm” "
                               "如果选择了不合适的绘图单位, 会导致输出的图形尺寸有偏差."),
                            this);
    hint->setWordWrap(true);
    hint->setMinimumWidth(320);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    grid->addWidget(label, 0, 0);
    grid->addWidget(m_unit, 0, 1);
    grid->addWidget(m_noHint, 1, 0, 1, 2);
    grid->addWidget(hint, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    const int unit = PltFileUnit.load();
    m_unit->setCurrentIndex(unit == 0 || unit == 1 ? unit : -1);
    m_noHint->setChecked(UnitNoHintNextTime.load() != 0);
}

void CDlgSetPltUnit::accept()
{
    GuardEvent("CDlgSetPltUnit OK", [&] {
        PltFileUnit = m_unit->currentIndex();
        UnitNoHintNextTime = m_noHint->isChecked() ? 1 : 0;
        QDialog::accept();
    });
}
