#pragma once
// The built-in player of sounds and videos: one window per preview, on top of the others,
// with Play, Pause, Stop, Step and Back. Step and Back pause and move one frame of a video
// or one second of a sound. A file that cannot be played closes the window and is
// reported through OnError. The window stops and frees itself when closed. Present only
// when Marlo is built with Qt Multimedia (MARLO_HAVE_MULTIMEDIA).
#include <QWidget>

#include <functional>

#ifdef MARLO_HAVE_MULTIMEDIA

class QAudioOutput;
class QMediaPlayer;
class QPushButton;
class QVideoWidget;

namespace marlo {

class TMediaDlg : public QWidget {
  Q_OBJECT

public:
  explicit TMediaDlg(QWidget* parent = nullptr);
  ~TMediaDlg() override;

  // The file and the reason it cannot be played; the window has closed by then.
  std::function<void(const QString& text)> OnError;
  // The reason given for a sound when there is no sound device.
  QString NoSoundText = "no sound device was found";

  // Sets the player's file, shows the window and starts playing.
  void Play(const QString& fileName, const QString& caption);

  void PlayClick();
  void PauseClick();
  void StopClick();
  // One step forward or back, paused.
  void StepClick(int direction);

  QMediaPlayer* Player() const { return player_; }
  QPushButton* Button(const QString& name) const;

private:
  void Failed(const QString& reason);
  qint64 StepLength() const;

  QMediaPlayer* player_;
  QAudioOutput* audio_;
  QVideoWidget* video_;
  QString fileName_;
  bool failed_ = false;
};

} // namespace marlo

#endif
