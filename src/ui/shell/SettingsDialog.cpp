#include "ui/shell/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/views/QtText.h"

namespace morvane {

namespace {

QSpinBox* NumberField(const char* name, int min, int max, const QString& hint) {
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(min, max);
    box->setAlignment(Qt::AlignRight);
    box->setToolTip(hint);
    return box;
}

QCheckBox* Flag(const char* name, const QString& caption, const QString& hint) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    return box;
}

std::uint8_t Byte(const QSpinBox* box) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(box->value()) & 0xFFu);
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmset"));
    setWindowTitle(Ui::tr("Настройки"));
    setModal(true);

    retryCount_ = NumberField("RetryCount", 0, 255,
                              Ui::tr("Число повторений ошибочных операций \n"
                                     "без перемещения головок."));
    retryCountWithReset_ = NumberField("RetryCountWithReset", 0, 255,
                                       Ui::tr("Число циков повторений со сбросом\nконтроллера. "));
    firstCylinder_ = NumberField("FirstCylinder", 0, 166, QString());
    lastCylinder_ = NumberField("LastCylinder", 0, 166, QString());
    cycleRead_ = NumberField("CycleRead", 1, 30,
                             Ui::tr("Число циклов полного чтения дорожки,\n"
                                    "для более точного определения данных полей\n"
                                    "и маркеров."));
    timeOut_ = NumberField("TimeOut", 1, 30, Ui::tr("Время ожидания ответа от контроллера."));

    restoreTrack_ = Flag("RestoreTrack", Ui::tr("Реставрировать образ дорожки"),
                         Ui::tr("Данные пробелов дорожки полученные \n"
                                "при полном чтении будут заменятся \n"
                                "стандартными значениями.  "));
    compressTd0_ = Flag("TD0arch", Ui::tr("Сжимать TD0 образ при записи"),
                        Ui::tr("Производить сжатие образа \nпри записи его в TD0 файл."));
    overlapTrackAndData_ = Flag("OverlapTrackAndData", Ui::tr("Преобразовывать данные дорожки"),
                                Ui::tr("Производить или нет реставрацию данных дорожки \n"
                                       "при отображении их в правом окне."));
    setSectorSizeFromHead_ =
        Flag("SetSectorSizeFromHead", Ui::tr("Устанавливать длинну сектора из заголовка"),
             Ui::tr("При отображении данных сектора использовать\n"
                    "размер установленный в заголовке сектора или\n"
                    "фактически считанный размер."));

    auto* retries = new QGroupBox(Ui::tr("Повторы"));
    auto* retriesForm = new QFormLayout(retries);
    retriesForm->addRow(Ui::tr("Число повторов -"), retryCount_);
    retriesForm->addRow(Ui::tr("Число циклов -"), retryCountWithReset_);

    auto* area = new QGroupBox(Ui::tr("Обрабатываемая область"));
    auto* areaForm = new QFormLayout(area);
    areaForm->addRow(Ui::tr("Начальная дорожка -"), firstCylinder_);
    areaForm->addRow(Ui::tr("Конечная дорожка -"), lastCylinder_);

    auto* fullRead = new QGroupBox(Ui::tr("Полное чтение дорожки"));
    auto* fullReadForm = new QFormLayout(fullRead);
    fullReadForm->addRow(Ui::tr("Число циклов -"), cycleRead_);

    auto* timeout = new QGroupBox(Ui::tr("Таймаут"));
    auto* timeoutForm = new QFormLayout(timeout);
    timeoutForm->addRow(Ui::tr("Время ожидания, с -"), timeOut_);

    auto* images = new QGroupBox(Ui::tr("Образы"));
    auto* imagesBox = new QVBoxLayout(images);
    imagesBox->addWidget(restoreTrack_);
    imagesBox->addWidget(compressTd0_);
    imagesBox->addWidget(overlapTrackAndData_);
    imagesBox->addWidget(setSectorSizeFromHead_);

    // The languages are named in their own language, so either reader finds theirs.
    language_ = new QComboBox;
    language_->setObjectName(QStringLiteral("cbLanguage"));
    language_->addItem(Ui::tr("Как в системе"), static_cast<int>(LanguageChoice::System));
    language_->addItem(QStringLiteral("Русский"), static_cast<int>(LanguageChoice::Russian));
    language_->addItem(QStringLiteral("English"), static_cast<int>(LanguageChoice::English));
    language_->setToolTip(Ui::tr("Язык сменится при следующем запуске программы."));
    auto* languageForm = new QFormLayout;
    languageForm->addRow(Ui::tr("Язык интерфейса"), language_);

    accept_ = new QPushButton(Ui::tr("Принять"));
    accept_->setObjectName(QStringLiteral("btAccept"));
    cancel_ = new QPushButton(Ui::tr("Отменить"));
    cancel_->setObjectName(QStringLiteral("btCancel"));
    accept_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(retries);
    layout->addWidget(area);
    layout->addWidget(fullRead);
    layout->addWidget(timeout);
    layout->addWidget(images);
    layout->addLayout(languageForm);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QSpinBox* box :
         {retryCount_, retryCountWithReset_, firstCylinder_, lastCylinder_, cycleRead_, timeOut_}) {
        connect(box, &QSpinBox::valueChanged, this, &SettingsDialog::MarkChanged);
    }
    for (QCheckBox* box :
         {restoreTrack_, compressTd0_, overlapTrackAndData_, setSectorSizeFromHead_}) {
        connect(box, &QCheckBox::clicked, this, &SettingsDialog::MarkChanged);
    }
    connect(language_, &QComboBox::currentIndexChanged, this, &SettingsDialog::MarkChanged);
    connect(accept_, &QPushButton::clicked, this, [this] {
        accepted_ = true;
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::Load(const Settings& s) {
    loading_ = true;
    retryCount_->setValue(s.RetryCount);
    retryCountWithReset_->setValue(s.RetryCountWithReset);
    firstCylinder_->setValue(s.FirstCylinder);
    lastCylinder_->setValue(s.LastCylinder);
    cycleRead_->setValue(s.CycleRead);
    timeOut_->setValue(s.TimeOut);
    restoreTrack_->setChecked(s.RestoreTrack);
    compressTd0_->setChecked(s.CompressTd0);
    overlapTrackAndData_->setChecked(s.OverlapTrackAndData);
    setSectorSizeFromHead_->setChecked(s.SetSectorSizeFromHead);
    language_->setCurrentIndex(language_->findData(static_cast<int>(s.Language)));
    loading_ = false;
    accepted_ = false;
    accept_->setVisible(false);
}

void SettingsDialog::Store(Settings& s) const {
    s.RetryCount = Byte(retryCount_);
    s.RetryCountWithReset = Byte(retryCountWithReset_);
    s.FirstCylinder = Byte(firstCylinder_);
    s.LastCylinder = Byte(lastCylinder_);
    s.CycleRead = Byte(cycleRead_);
    s.TimeOut = Byte(timeOut_);
    s.RestoreTrack = restoreTrack_->isChecked();
    s.CompressTd0 = compressTd0_->isChecked();
    s.OverlapTrackAndData = overlapTrackAndData_->isChecked();
    s.SetSectorSizeFromHead = setSectorSizeFromHead_->isChecked();
    s.Language = static_cast<LanguageChoice>(language_->currentData().toInt());
}

bool SettingsDialog::Edit(Settings& s) {
    Load(s);
    exec();
    if (!accepted_) return false;
    Store(s);
    return true;
}

void SettingsDialog::showEvent(QShowEvent* event) {
    accepted_ = false;
    accept_->setVisible(false);
    QDialog::showEvent(event);
}

void SettingsDialog::MarkChanged() {
    if (!loading_) accept_->setVisible(true);
}

}  // namespace morvane
