// The local camera preview of the main window: sized for the configured capture size
// and display aspect ratio, shown only with the preview setting on, hidden always.
#include "MainFormFixture.h"

#include "console/ui/SkinPanel.h"

namespace {

class CameraPreview : public MainFormFixture {
protected:
    void Configure(const std::string &video)
    {
        dir->write("data/zoxcfg.ini", "[Video]\n" + video);
        config = std::make_unique<CSystemConfig>();
        g_pSystemConfig = config.get();
    }
};

TEST_F(CameraPreview, SizedForTheCaptureAndTheAspectRatio)
{
    Build();
    ShowForm();
    struct Case {
        const char *video;
        QSize host;
        QRect panel;
    };
    const Case cases[] = {
        {"Resolution=8\nDAR=0:0\n", {150, 113}, {0, 0, 150, 113}},      // 640 x 480
        {"Resolution=12\nDAR=4:3\n", {200, 150}, {-33, 0, 267, 150}},   // 1280 x 720
        {"Resolution=99\nDAR=4:3\n", {200, 150}, {-33, 0, 267, 150}},   // unknown size: left as it was
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.video);
        Configure(c.video);
        EXPECT_EQ(form->LayoutCameraPreview(), 0u); // no video window offscreen
        EXPECT_EQ(form->c_pPanelCameraHost->size(), c.host);
        EXPECT_EQ(form->c_pPanelCameraWnd->geometry(), c.panel);
    }
}

TEST_F(CameraPreview, ShownOnlyWithThePreviewSetting)
{
    Build();
    ShowForm();
    auto shown = [&] { return form->c_pPanelCameraHost->isVisibleTo(form.get()); };
    Configure("CameraPreview=0\n");
    form->ShowCameraPreview(true);
    EXPECT_FALSE(shown());
    Configure("CameraPreview=1\nResolution=8\n");
    form->LayoutCameraPreview();
    form->ShowCameraPreview(true);
    EXPECT_TRUE(shown());
    // At the bottom of the left column.
    const QWidget *host = form->c_pPanelCameraHost;
    EXPECT_EQ(host->y() + host->height(), host->parentWidget()->height());
    Configure("CameraPreview=0\n");
    form->ShowCameraPreview(false);
    EXPECT_FALSE(shown());
}

} // namespace
