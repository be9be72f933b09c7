<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
    <context>
        <name>tavrel</name>
        <message>
            <source>%1 MB</source>
            <translation>%1 MB</translation>
        </message>
        <message>
            <source>%1 bits a sample</source>
            <translation>每个样本 %1 位</translation>
        </message>
        <message>
            <source>%1 bytes</source>
            <translation>%1 字节</translation>
        </message>
        <message>
            <source>%1 kB</source>
            <translation>%1 kB</translation>
        </message>
        <message>
            <source>%1, %2 frames</source>
            <translation>大小 %1，共 %2 帧</translation>
        </message>
        <message>
            <source>&amp;About Tavrel...</source>
            <translation>关于 Tavrel(&amp;A)...</translation>
        </message>
        <message>
            <source>&amp;Close</source>
            <translation>关闭(&amp;C)</translation>
        </message>
        <message>
            <source>--background must be a colour such as #20242a or navy, not '%1'</source>
            <translation>--background 必须是颜色，例如 #20242a 或 navy，而不是“%1”</translation>
        </message>
        <message>
            <source>--background must be opaque, not '%1'</source>
            <translation>--background 必须是不透明的颜色，而不是“%1”</translation>
        </message>
        <message>
            <source>--delay must be a whole number from %1 to %2, not '%3'</source>
            <translation>--delay 必须是 %1 到 %2 之间的整数，而不是“%3”</translation>
        </message>
        <message>
            <source>--fit must be stretch, contain or cover, not '%1'</source>
            <translation>--fit 必须是 stretch、contain 或 cover，而不是“%1”</translation>
        </message>
        <message>
            <source>--fade must be a whole number from 0 to %1, not '%2'</source>
            <translation>--fade 必须是 0 到 %1 之间的整数，而不是“%2”</translation>
        </message>
        <message>
            <source>--fade needs at least two pictures</source>
            <translation>--fade 至少需要两幅图像</translation>
            <source>--max-size must be a size above zero such as 300k, 1.5MB or 2MiB, not '%1'</source>
            <translation>--max-size 必须是大于零的大小，例如 300k、1.5MB 或 2MiB，而不是“%1”</translation>
        </message>
        <message>
            <source>--quality must be high, not '%1'</source>
            <translation>--quality 必须是 high，而不是“%1”</translation>
        </message>
        <message>
            <source>--size must be WIDTHxHEIGHT, each from 1 to 4096, not '%1'</source>
            <translation>--size 必须是 宽x高，每边 1 到 4096，而不是“%1”</translation>
        </message>
        <message>
            <source>--speed must be slow, medium or fast, not '%1'</source>
            <translation>--speed 必须是 slow、medium 或 fast，而不是“%1”</translation>
        </message>
        <message>
            <source>1 byte</source>
            <translation>1 字节</translation>
        </message>
        <message>
            <source>About Tavrel</source>
            <translation>关于 Tavrel</translation>
        </message>
        <message>
            <source>Animation</source>
            <translation>动画制作</translation>
        </message>
        <message>
            <source>Cannot use this picture (%1): </source>
            <translation>无法使用这幅图像（%1）：</translation>
        </message>
        <message>
            <source>Cannot use this picture: </source>
            <translation>无法使用这幅图像：</translation>
        </message>
        <message>
            <source>Clear</source>
            <translation>清除图像</translation>
        </message>
        <message>
            <source>Copyright (C) 2026</source>
            <translation>版权所有 (C) 2026</translation>
        </message>
        <message>
            <source>Crossfade</source>
            <translation>淡入淡出</translation>
        </message>
        <message>
            <source>Fast</source>
            <translation>快</translation>
        </message>
        <message>
            <source>Folder</source>
            <translation>文件夹</translation>
        </message>
        <message>
            <source>Frame %1 of %2</source>
            <translation>第 %1 帧，共 %2 帧</translation>
        </message>
        <message>
            <source>GIF file:</source>
            <translation>动画路径:</translation>
        </message>
        <message>
            <source>GIF files (*.gif)</source>
            <translation>GIF 文件(*.gif)</translation>
        </message>
        <message>
            <source>High quality</source>
            <translation>高质量</translation>
        </message>
        <message>
            <source>Keep proportions</source>
            <translation>保持宽高比</translation>
        </message>
        <message>
            <source>Make GIF</source>
            <translation>GIF动画生成</translation>
        </message>
        <message>
            <source>Making the GIF...</source>
            <translation>正在制作动画…</translation>
        </message>
        <message>
            <source>Medium</source>
            <translation>中</translation>
        </message>
        <message>
            <source>No limit</source>
            <translation>无上限</translation>
        </message>
        <message>
            <source>No picture is chosen, there is nothing to clear. Thank you!</source>
            <translation>未选择图像，不需要取消！谢谢！</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>确定</translation>
        </message>
        <message>
            <source>Only the first five pictures were used; %1 more were left out.</source>
            <translation>只使用了前五幅图像，其余 %1 幅未使用。</translation>
        </message>
        <message>
            <source>Out of memory; no animation was made.</source>
            <translation>内存不足，未生成动画。</translation>
        </message>
        <message>
            <source>Picture 1</source>
            <translation>图像1</translation>
        </message>
        <message>
            <source>Picture 2</source>
            <translation>图像2</translation>
        </message>
        <message>
            <source>Picture 3</source>
            <translation>图像3</translation>
        </message>
        <message>
            <source>Picture 4</source>
            <translation>图像4</translation>
        </message>
        <message>
            <source>Picture 5</source>
            <translation>图像5</translation>
        </message>
        <message>
            <source>Picture files (*.jpg;*.bmp;*.png)</source>
            <translation>图像文件 (*.jpg;*.bmp;*.png)</translation>
        </message>
        <message>
            <source>Picture formats: jpg, bmp, png.</source>
            <translation>图像格式支持: jpg, bmp, png.</translation>
        </message>
        <message>
            <source>Pictures</source>
            <translation>图像选择</translation>
        </message>
        <message>
            <source>Please choose at least one picture before making the GIF. Thank you!</source>
            <translation>生成动画之前，请先选择至少一幅图像！谢谢！</translation>
        </message>
        <message>
            <source>Please choose at least one picture before the preview. Thank you!</source>
            <translation>预览动画之前，请先选择至少一幅图像！谢谢！</translation>
        </message>
        <message>
            <source>Preview</source>
            <translation>动画预览</translation>
        </message>
        <message>
            <source>Settings</source>
            <translation>设置</translation>
        </message>
        <message>
            <source>Settings...</source>
            <translation>设置…</translation>
        </message>
        <message>
            <source>Size limit:</source>
            <translation>文件大小上限：</translation>
        </message>
        <message>
            <source>Slow</source>
            <translation>慢</translation>
        </message>
        <message>
            <source>Speed:</source>
            <translation>播放速度:</translation>
        </message>
        <message>
            <source>Stop</source>
            <translation>停止</translation>
        </message>
        <message>
            <source>Tavrel %1</source>
            <translation>Tavrel %1 版</translation>
        </message>
        <message>
            <source>The GIF file cannot be written; no animation was made: </source>
            <translation>动画文件无法写入，未生成动画：</translation>
        </message>
        <message>
            <source>The animation is made. Thank you!</source>
            <translation>动画已制作成功！谢谢！</translation>
        </message>
        <message>
            <source>The staged BMP copy cannot be read.</source>
            <translation>暂存的BMP副本无法读取。</translation>
        </message>
        <message>
            <source>The staged copy of picture %1 cannot be read; no animation was made.</source>
            <translation>图像%1的暂存文件无法读取，未生成动画。</translation>
        </message>
        <message>
            <source>Usage: tavrel-gif [--speed slow|medium|fast] [--delay CENTISECONDS] [--size WxH]
                  [--fit stretch|contain|cover] [--background COLOR] [--dither]
                  [--quality high] [--fade CENTISECONDS] [--max-size SIZE]
                  -o OUT.gif PICTURE...
Makes a looping animated GIF with one frame per picture (JPEG, PNG or BMP), in the
order given, each stretched to 530 x 530 and reduced to at most 256 colours.

Options:
  -o, --output OUT.gif   the GIF to write; an earlier file there is replaced only
                         when the new one is complete; - for standard output
  --speed SPEED          slow (1.2 s per frame), medium (0.8 s, the default) or
                         fast (0.4 s)
  --delay CENTISECONDS   time per frame in hundredths of a second, 2 to 65535;
                         overrides --speed
  --size WxH             frame size, each side 1 to 4096 (default 530x530);
                         e.g. --size 640x360
  --fit MODE             stretch: fill the frame, proportions not kept (default);
                         contain: the whole picture, proportions kept, centred on
                         the background; cover: proportions kept, the frame filled,
                         the centre cropped; e.g. --fit contain
  --background COLOR     around a contained picture: #rrggbb or a name (default
                         black); e.g. --background '#20242a' or --background navy
  --dither               Floyd-Steinberg error diffusion against each frame's
                         palette: smooth gradients instead of bands, larger files
  --quality high         the best frames for their size: a refined palette and a
                         diffusion that keeps flat areas clean; slower; e.g.
                         tavrel-gif --quality high --fit contain -o out.gif *.jpg
  --fade CENTISECONDS    after its time each picture fades into the next (the last
                         into the first) in 0 to 1000 hundredths of a second,
                         one blended frame per 5; 0, the default, is no fade;
                         needs at least two pictures; e.g. --fade 50
  --max-size SIZE        the GIF is never larger than SIZE and is the best-looking
                         GIF that fits (fewer colours, less dithering, lossy LZW
                         as needed; the --quality high frames when they fit);
                         bytes or k, kB, M, MB (1,000s), KiB, MiB (1,024s);
                         e.g. --max-size 300k or --max-size 1.5MB
  -h, --help             show this help and exit
  --version              show the version and exit

Pictures may have up to 100 megapixels.

Exit status: 0 when the GIF is complete, 1 when a picture cannot be read, the
output cannot be written or the GIF cannot fit in --max-size, 2 when the command
line is wrong, 128 + the signal's number when stopped by a signal (130 for Ctrl+C).
</source>
            <translation>用法：tavrel-gif [--speed slow|medium|fast] [--delay 百分之一秒] [--size 宽x高]
                  [--fit stretch|contain|cover] [--background 颜色] [--dither]
                  [--quality high] [--fade 百分之一秒] [--max-size 大小]
                  -o 输出.gif 图像...
把图像（JPEG、PNG 或 BMP）按给出的顺序做成循环播放的 GIF 动画，每幅图像一帧，
拉伸到 530 x 530，并减少到最多 256 种颜色。

选项：
  -o, --output 输出.gif  要写入的 GIF；只有新文件完整时才替换原有文件；
                         - 表示标准输出
  --speed 速度           slow（每帧 1.2 秒）、medium（0.8 秒，默认）或
                         fast（0.4 秒）
  --delay 百分之一秒     每帧时间，以百分之一秒计，2 到 65535；
                         优先于 --speed
  --size 宽x高           帧大小，每边 1 到 4096（默认 530x530）；
                         例如 --size 640x360
  --fit 方式             stretch：填满帧，不保持宽高比（默认）；
                         contain：完整显示图像，保持宽高比，居中于背景色上；
                         cover：保持宽高比并填满帧，裁去边缘；
                         例如 --fit contain
  --background 颜色      contain 时图像周围的颜色：#rrggbb 或颜色名（默认
                         黑色）；例如 --background '#20242a' 或 --background navy
  --dither               按每帧调色板做 Floyd-Steinberg 误差扩散：
                         渐变平滑、没有色带，文件更大
  --quality high         同样大小下最好的帧：优化的调色板和保持平坦区域
                         干净的误差扩散；较慢；例如
                         tavrel-gif --quality high --fit contain -o out.gif *.jpg
  --fade 百分之一秒      每幅图像显示完后淡入下一幅（最后一幅淡入第一幅），
                         历时 0 到 1000 个百分之一秒，每 5 个一帧过渡帧；
                         0（默认）表示不淡入淡出；至少需要两幅图像；
                         例如 --fade 50
  --max-size 大小        GIF 绝不大于该大小，并且是能放下的最好看的 GIF
                         （按需减少颜色、减弱抖动、有损 LZW；放得下时即
                         --quality high 的帧）；字节数，或带单位 k、kB、M、MB
                         （1000 进制）、KiB、MiB（1024 进制）；
                         例如 --max-size 300k 或 --max-size 1.5MB
  -h, --help             显示本帮助并退出
  --version              显示版本并退出

图像最多可有一亿像素。

退出状态：GIF 完整时为 0，图像无法读取、输出无法写入或 GIF 无法放进
--max-size 时为 1，命令行错误时为 2，被信号终止时为 128 + 信号编号（Ctrl+C 为 130）。
</translation>
        </message>
        <message>
            <source>a folder in the path is not a folder</source>
            <translation>路径中的某个文件夹不是文件夹</translation>
        </message>
        <message>
            <source>cannot be created: %1</source>
            <translation>无法创建：%1</translation>
        </message>
        <message>
            <source>cannot be opened: %1</source>
            <translation>无法打开：%1</translation>
        </message>
        <message>
            <source>cannot be turned into a GIF frame</source>
            <translation>无法转换为 GIF 帧</translation>
        </message>
        <message>
            <source>cannot be written: %1</source>
            <translation>无法写入：%1</translation>
        </message>
        <message>
            <source>cannot fit %1 frames of %2 into %3 (smallest %4): choose a smaller frame size, fewer pictures or a larger size limit</source>
            <translation>无法把 %1 帧 %2 的画面放进 %3（最小也有 %4）：请选择更小的帧大小、更少的图像或更大的大小上限</translation>
        </message>
        <message>
            <source>cannot fit 1 frame of %1 into %2 (smallest %3): choose a smaller frame size or a larger size limit</source>
            <translation>无法把 1 帧 %1 的画面放进 %2（最小也有 %3）：请选择更小的帧大小或更大的大小上限</translation>
        </message>
        <message>
            <source>cannot read the picture: %1</source>
            <translation>无法读取图像：%1</translation>
        </message>
        <message>
            <source>cannot save the picture: %1</source>
            <translation>无法保存图像：%1</translation>
        </message>
        <message>
            <source>cannot start a thread: the system allows no more (a limit on processes or memory)</source>
            <translation>无法启动线程：系统不再允许（进程数或内存受限）</translation>
        </message>
        <message>
            <source>hierarchical</source>
            <translation>分层</translation>
        </message>
        <message>
            <source>interrupted</source>
            <translation>已中断</translation>
        </message>
        <message>
            <source>is a block device or a socket, not a file; it is not written</source>
            <translation>是块设备或套接字，不是文件；不会写入</translation>
        </message>
        <message>
            <source>is a folder</source>
            <translation>是一个文件夹</translation>
        </message>
        <message>
            <source>is a folder, not a picture</source>
            <translation>是一个文件夹，不是图像</translation>
        </message>
        <message>
            <source>is a symbolic link to a missing file</source>
            <translation>是指向不存在文件的符号链接</translation>
        </message>
        <message>
            <source>is not a regular file</source>
            <translation>不是普通文件</translation>
        </message>
        <message>
            <source>is the picture %1 itself; it is left as it is</source>
            <translation>就是图像 %1 本身；保持原样，未写入</translation>
        </message>
        <message>
            <source>its folder %1 does not exist</source>
            <translation>所在文件夹 %1 不存在</translation>
        </message>
        <message>
            <source>lossless</source>
            <translation>无损</translation>
        </message>
        <message>
            <source>no BMP encoder</source>
            <translation>没有 BMP 编码器</translation>
        </message>
        <message>
            <source>no output file given</source>
            <translation>没有指定输出文件</translation>
        </message>
        <message>
            <source>no output file given (-o OUT.gif)</source>
            <translation>没有指定输出文件（-o OUT.gif）</translation>
        </message>
        <message>
            <source>no pictures given</source>
            <translation>没有指定图像</translation>
        </message>
        <message>
            <source>no such file</source>
            <translation>文件不存在</translation>
        </message>
        <message>
            <source>no such file or folder</source>
            <translation>文件或文件夹不存在</translation>
        </message>
        <message>
            <source>no suitable encoder</source>
            <translation>没有合适的编码器</translation>
        </message>
        <message>
            <source>not a JPEG, BMP or PNG picture</source>
            <translation>不是 JPG、BMP 或 PNG 图像</translation>
        </message>
        <message>
            <source>option '%1' needs a value</source>
            <translation>选项“%1”需要一个值</translation>
        </message>
        <message>
            <source>out of memory</source>
            <translation>内存不足</translation>
        </message>
        <message>
            <source>permission denied</source>
            <translation>权限不足</translation>
        </message>
        <message>
            <source>standard output is a terminal; send it to a file or a pipe (tavrel-gif -o - ... &gt; OUT.gif)</source>
            <translation>标准输出是终端；请重定向到文件或管道（tavrel-gif -o - ... &gt; OUT.gif）</translation>
        </message>
        <message>
            <source>standard output is closed</source>
            <translation>标准输出已关闭</translation>
        </message>
        <message>
            <source>tavrel-gif: %1 (see tavrel-gif --help)</source>
            <translation>tavrel-gif：%1（参见 tavrel-gif --help）</translation>
        </message>
        <message>
            <source>tavrel-gif: stopped</source>
            <translation>tavrel-gif：已停止</translation>
        </message>
        <message>
            <source>tavrel-gif: the image codecs could not be started</source>
            <translation>tavrel-gif：图像组件无法启动</translation>
        </message>
        <message>
            <source>the JPEG has more than %1 scans, far more than any encoder writes</source>
            <translation>该 JPEG 含有超过 %1 个扫描段，远多于任何编码器写出的数量</translation>
        </message>
        <message>
            <source>the disk is full</source>
            <translation>磁盘已满</translation>
        </message>
        <message>
            <source>the disk is read-only</source>
            <translation>磁盘是只读的</translation>
        </message>
        <message>
            <source>the disk quota is exceeded</source>
            <translation>超出磁盘配额</translation>
        </message>
        <message>
            <source>the file is damaged or incomplete</source>
            <translation>文件已损坏或不完整</translation>
        </message>
        <message>
            <source>the file is empty</source>
            <translation>文件是空的</translation>
        </message>
        <message>
            <source>the file is incomplete (the BMP pixel data ends early)</source>
            <translation>文件不完整（BMP 像素数据提前结束）</translation>
        </message>
        <message>
            <source>the file is incomplete (the JPEG data ends early)</source>
            <translation>文件不完整（JPEG 数据提前结束）</translation>
        </message>
        <message>
            <source>the file is larger than any accepted picture (%1 MB)</source>
            <translation>文件大于可接受的任何图像（%1 MB）</translation>
        </message>
        <message>
            <source>the file would exceed the file size limit</source>
            <translation>文件将超过文件大小限制</translation>
        </message>
        <message>
            <source>the folder %1 cannot be made: %2</source>
            <translation>无法创建文件夹 %1：%2</translation>
        </message>
        <message>
            <source>the folder for staged copies cannot be made</source>
            <translation>无法建立暂存副本的文件夹</translation>
        </message>
        <message>
            <source>the image codecs are not started</source>
            <translation>图像组件没有启动</translation>
        </message>
        <message>
            <source>the name is too long</source>
            <translation>名称太长</translation>
        </message>
        <message>
            <source>the output file is not open</source>
            <translation>输出文件没有打开</translation>
        </message>
        <message>
            <source>the output path is empty</source>
            <translation>输出路径为空</translation>
        </message>
        <message>
            <source>the picture is %1 x %2 pixels, more than the %3 megapixels accepted</source>
            <translation>图像为 %1 x %2 像素，超过可接受的 %3 百万像素</translation>
        </message>
        <message>
            <source>the reading end was closed</source>
            <translation>读取端已关闭</translation>
        </message>
        <message>
            <source>the staged copy cannot be read</source>
            <translation>暂存文件无法读取</translation>
        </message>
        <message>
            <source>the write did not complete</source>
            <translation>写入未完成</translation>
        </message>
        <message>
            <source>unknown option '%1'</source>
            <translation>未知选项“%1”</translation>
        </message>
        <message>
            <source>unsupported kind of JPEG (%1)</source>
            <translation>不支持的 JPEG 类型（%1）</translation>
        </message>
    </context>
</TS>
