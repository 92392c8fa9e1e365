#pragma once
#include <QImage>
#include <QPointF>
#include <QWidget>
#include <functional>

namespace tarnwick {

// The scope picture: a black surface that keeps what was drawn on it until
// it is cleared, like a picture box with a persistent image.
class ScopePicture : public QWidget {
    Q_OBJECT
   public:
    // The size the window opens with.
    static constexpr int kInitialWidth = 800;
    static constexpr int kInitialHeight = 600;

    explicit ScopePicture(QWidget* parent = nullptr);

    QImage& Image() { return image_; }
    void ClearImage();

    // Whole notches, away from the user positive; `fast` while Ctrl is held.
    std::function<void(int notches, bool fast)> OnWheel;
    std::function<void()> OnResized;
    // The pointer in picture pixels; buttons as the pointer handling codes them.
    std::function<void(int button, QPointF at)> OnButtonDown;
    std::function<void(QPointF at)> OnPointerMove;
    std::function<void(int button)> OnButtonUp;
    std::function<void()> OnPointerLeft;

   protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

   private:
    QImage image_;
    int wheelRemainder_ = 0;
};

// The picture's object name, by which tests find it.
inline constexpr char kScopePictureName[] = "Picture1";

}  // namespace tarnwick
