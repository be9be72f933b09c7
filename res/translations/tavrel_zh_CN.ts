<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
    <context>
        <name>tavrel</name>
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
            <source>cannot read the picture: %1</source>
            <translation>无法读取图像：%1</translation>
        </message>
        <message>
            <source>cannot save the picture: %1</source>
            <translation>无法保存图像：%1</translation>
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
            <source>no BMP encoder</source>
            <translation>没有 BMP 编码器</translation>
        </message>
        <message>
            <source>no output file given</source>
            <translation>没有指定输出文件</translation>
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
            <source>out of memory</source>
            <translation>内存不足</translation>
        </message>
        <message>
            <source>permission denied</source>
            <translation>没有读取权限</translation>
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
    </context>
</TS>
