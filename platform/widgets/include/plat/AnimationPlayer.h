#pragma once
// Plays a busy animation: the frames of a picture strip (frames side by side,
// the strip's "frames" text giving their number) shown one after the other on
// a timer. The timer runs in the event loop, so the animation moves whenever
// events are processed, also inside a long operation's progress updates.
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace plat {

// Resource path of animation id: ":/anim/<id>.png".
QString AnimationResource(int id);

class AnimationPlayer : public QWidget {
    Q_OBJECT

public:
    explicit AnimationPlayer(QWidget* parent = nullptr);

    // Loads a strip; the last frame becomes the strip's last one and the
    // first frame is shown. False (and nothing to play) when it is missing.
    bool open(int id) { return open(AnimationResource(id)); }
    bool open(const QString& path);
    bool isOpen() const { return frameCount_ > 0; }

    // Plays frames 0 .. lastFrame in a loop until stopped.
    void play();
    // Stops on the frame on show.
    void stop();
    bool isPlaying() const { return timer_.isActive(); }

    int frameCount() const { return frameCount_; }
    int frame() const { return frame_; }
    int lastFrame() const { return lastFrame_ < 0 ? frameCount_ - 1 : lastFrame_; }
    // Clipped to the strip; set before or after open (a value set before is
    // kept when it fits the strip).
    void setLastFrame(int last);
    int interval() const { return timer_.interval(); }
    void setInterval(int ms) { timer_.setInterval(ms); }

    QSize sizeHint() const override;

public slots:
    // The next frame (after the last frame, the first); the timer calls it.
    void advance();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap strip_;
    QSizeF frameSize_;
    int frameCount_ = 0;
    int frame_ = 0;
    int lastFrame_ = -1; // -1: the strip's last frame
    QTimer timer_;
};

} // namespace plat
