"""Sketches from Python: records, files and rendering, and bad input raises
instead of crashing."""
import pytest

import vcdisplay as vc

def draw_sample(tablet):
    image, overlay = vc.vcUITablet.eImage, vc.vcUITablet.eOverlay
    tablet.drawLineSeg((10, 10), (120, 40), vc.vcColor.red, image)
    tablet.draw(vc.vcCircle((60, 60), 25), vc.vcGraphicProps(vc.vcColor.yellow, 3), image)
    tablet.drawRect((5, 70), (50, 110), vc.vcColor(0, 128, 255), overlay, True)
    tablet.draw(vc.vcGenPoly(vc.vcSMDGDPoly.rectangle(40, 20, (100, 90))), vc.vcGraphicProps(vc.vcColor.green, 1), image)
    tablet.draw("vcdisplay", (20, 20), vc.vcColor.white, vc.vcColor.passColor(), vc.vcUIFormat(), overlay)


def test_sketches_survive_their_files_and_render_to_arrays_and_files(recording, tmp_path):
    draw_sample(recording)
    sketch = vc.vcUISketch(recording.sketch())
    sketch.save(str(tmp_path / "python.vcs"))
    back = vc.vcUISketch.load(str(tmp_path / "python.vcs"))
    assert back == sketch and sum(r.size for r in back) == back.size()
    assert [r.name for r in back][:2] == ["LineSeg", "Circle"]
    assert vc.render(back, size=(160, 120)).shape == (120, 160, 4)
    half = vc.render(back, size=(160, 120), scale=0.5, layer=vc.Layers.eImage)  # all drawn within 130 x 110
    assert half[:60, :70, :3].any() and not half[60:, :, :3].any() and not half[:, 70:, :3].any()
    vc.render_to_file(back, str(tmp_path / "ours.svg"))
    assert (tmp_path / "ours.svg").read_text().startswith("<?xml")


def test_records_replay_one_by_one_and_their_fields_follow_the_pen(recording):
    draw_sample(recording)
    sketch = vc.vcUISketch(recording.sketch())
    whole, parts = vc.vcCairoScope((160, 120)), vc.vcCairoScope((160, 120))
    for scope, replay in [(whole, lambda t: t.draw(sketch, (0, 0), vc.Layers.eImage)),
                          (parts, lambda t: [r.draw(t) for r in sketch if r.layer == vc.Layers.eImage])]:
        tablet = vc.vcUITablet(scope)
        tablet.visible(True)
        replay(tablet)
    assert (whole.surfaceArray() == parts.surfaceArray()).all()

    pen = vc.vcUITablet()
    pen.recordOn().set(True)
    props = vc.vcGraphicProps(vc.vcColor.blue, 4, vc.vcGraphicProps.ePenDash)
    pen.draw(vc.vcLineSeg((0, 0), (5, 5)), props, vc.Layers.eOverlay)
    pen.draw(vc.vcLineSeg((1, 1), (2, 2)), props, vc.Layers.eOverlay)
    first, second = list(pen.sketch())
    assert (first.hasProps, second.hasProps) == (True, False)
    assert first.props == second.props == props and first.color == vc.vcColor.blue
    # The first record carries the props record: its marker byte and a 21-byte body.
    assert (len(first.bytes), len(second.bytes)) == (first.size, second.size)
    assert first.size - second.size == 1 + 21 and first.bytes[0] == 40


@pytest.mark.parametrize("stream", [b"\x03", b"\x28" + b"\x00" * 5])
def test_malformed_raw_streams_raise_invalid_sketch_on_parse_and_replay(stream):
    sketch = vc.vcUISketch()
    sketch.append(stream)
    with pytest.raises(vc.vcUIError, match="InvalidUISketch"):
        list(sketch)
    with pytest.raises(vc.vcUIError, match="InvalidUISketch"):
        vc.render(sketch, size=(8, 8))


def test_bad_files_and_trailing_bytes_raise_archive_errors(tmp_path, recording):
    with pytest.raises(vc.vcArchiveError):
        vc.vcUISketch.load(str(tmp_path / "missing.vcs"))
    recording.drawPixel((1, 1), vc.vcColor.red, vc.Layers.eImage)
    data = recording.sketch().toBytes()
    assert vc.vcUISketch.fromBytes(data) == recording.sketch()
    with pytest.raises(vc.vcArchiveError, match="bytes after"):
        vc.vcUISketch.fromBytes(data + b"\0")
    for cut in range(len(data)):
        (tmp_path / "bad.vcs").write_bytes(data[:cut])
        with pytest.raises((vc.vcArchiveError, vc.vcUIError)):
            vc.vcUISketch.load(str(tmp_path / "bad.vcs"))
