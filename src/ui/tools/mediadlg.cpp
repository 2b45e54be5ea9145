#include "ui/tools/mediadlg.h"

#ifdef MARLO_HAVE_MULTIMEDIA

#include <QAudioDevice>
#include <QAudioOutput>
#include <QHBoxLayout>
#include <QMediaDevices>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <algorithm>

namespace marlo {

namespace {

// The FFmpeg backend comes with Qt Multimedia itself, while the GStreamer one crashes where
// GStreamer's own plugins are missing. A QT_MEDIA_BACKEND the user set still decides.
void ChooseMediaBackend() {
  static const bool chosen = [] {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    return true;
  }();
  (void)chosen;
}

} // namespace

TMediaDlg::TMediaDlg(QWidget* parent) : QWidget(parent) {
  ChooseMediaBackend();
  setObjectName("MediaDlg");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_DeleteOnClose);
  player_ = new QMediaPlayer(this);
  audio_ = new QAudioOutput(this);
  // Qt's FFmpeg backend crashes writing sound where there is no sound device: then a
  // video plays without its sound, and a sound is reported.
  if (!QMediaDevices::audioOutputs().isEmpty()) player_->setAudioOutput(audio_);
  video_ = new QVideoWidget(this);
  video_->setObjectName("MediaPlayer1");
  video_->setMinimumSize(160, 0);
  video_->hide();
  player_->setVideoOutput(video_);

  auto* buttons = new QHBoxLayout;
  auto add = [&](const char* name, const std::function<void()>& run) {
    auto* b = new QPushButton(name, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, run);
    buttons->addWidget(b);
  };
  add("Play", [this] { PlayClick(); });
  add("Pause", [this] { PauseClick(); });
  add("Stop", [this] { StopClick(); });
  add("Step", [this] { StepClick(1); });
  add("Back", [this] { StepClick(-1); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(video_, 1);
  layout->addLayout(buttons);

  connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
    video_->setVisible(video);
    if (video) resize(std::max(width(), 480), std::max(height(), 360));
  });
  connect(player_, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString& text) { Failed(text); });
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
    if (s == QMediaPlayer::InvalidMedia) Failed(player_->errorString());
    if (s == QMediaPlayer::LoadedMedia && !player_->audioOutput() && !player_->hasVideo())
      Failed(NoSoundText);
  });
}

TMediaDlg::~TMediaDlg() {
  player_->stop();
}

QPushButton* TMediaDlg::Button(const QString& name) const {
  return findChild<QPushButton*>(name);
}

void TMediaDlg::Play(const QString& fileName, const QString& caption) {
  fileName_ = fileName;
  setWindowTitle(caption);
  player_->setSource(QUrl::fromLocalFile(fileName));
  show();
  player_->play();
}

void TMediaDlg::PlayClick() {
  player_->play();
}

void TMediaDlg::PauseClick() {
  player_->pause();
}

void TMediaDlg::StopClick() {
  player_->stop();
}

qint64 TMediaDlg::StepLength() const {
  if (!player_->hasVideo()) return 1000;
  const double rate = player_->metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
  return rate > 0 ? std::max<qint64>(1, qRound64(1000.0 / rate)) : 40;
}

void TMediaDlg::StepClick(int direction) {
  player_->pause();
  const qint64 to = player_->position() + direction * StepLength();
  player_->setPosition(std::clamp<qint64>(to, 0, std::max<qint64>(0, player_->duration())));
}

void TMediaDlg::Failed(const QString& reason) {
  if (failed_) return;
  failed_ = true;
  player_->stop();
  hide();
  const QString text = "\"" + fileName_ + "\": " + (reason.isEmpty() ? "cannot be played" : reason);
  // Reported once the player's signal has returned; the window goes with it.
  QTimer::singleShot(0, this, [this, text] {
    if (OnError) OnError(text);
    close();
  });
}

} // namespace marlo

#endif
